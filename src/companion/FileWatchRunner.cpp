#include "companion/FileWatchRunner.h"

#include "core/Settings.h"
#include "watch/CurrentSetLookup.h"
#include "watch/WatchedFolders.h"

namespace halvik::companion {

FileWatchRunner::FileWatchRunner(watch::WatchPresenter& presenter, QObject* parent)
    : QObject(parent), m_presenter(presenter) {}

FileWatchRunner::~FileWatchRunner() { stop(); }

void FileWatchRunner::restart() {
  stop();
  if (!core::settings::onWhenOne(core::settings::Key::WatchFiles)) return;
  watch::Watcher::Callbacks callbacks{[this](const engine::mScanFiles::Hit& hit) {
                                        QMetaObject::invokeMethod(
                                            this, [this, hit] { m_presenter.found(hit); }, Qt::QueuedConnection);
                                      },
                                      [this] {
                                        QMetaObject::invokeMethod(
                                            this, [this] { m_presenter.limitReached(); }, Qt::QueuedConnection);
                                      }};
  m_watcher = std::make_unique<watch::Watcher>(watch::watchedFolders(), watch::currentSetThreat, std::move(callbacks));
  m_thread = std::thread([watcher = m_watcher.get()] {
    if (watcher->start()) watcher->run();
  });
}

void FileWatchRunner::stop() {
  if (!m_watcher) return;
  m_watcher->stop();
  m_thread.join();
  m_watcher.reset();
}

}  // namespace halvik::companion
