#pragma once

#include "watch/WatchPresenter.h"
#include "watch/Watcher.h"

#include <QObject>

#include <memory>
#include <thread>

namespace halvik::companion {

// Runs the watch of folders on a thread of its own while "WatchFiles" is "1", over the watched
// folders of the settings; its hits reach the presenter on the companion's own thread.
class FileWatchRunner : public QObject {
  Q_OBJECT

 public:
  explicit FileWatchRunner(watch::WatchPresenter& presenter, QObject* parent = nullptr);
  ~FileWatchRunner() override;

  // Stops the watch, and starts it again with the stored settings when it is on.
  void restart();
  bool running() const { return m_watcher != nullptr; }

 private:
  void stop();

  watch::WatchPresenter& m_presenter;
  std::unique_ptr<watch::Watcher> m_watcher;
  std::thread m_thread;
};

}  // namespace halvik::companion
