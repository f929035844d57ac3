#include "ui/MainPresenter.h"

#include "core/Locations.h"
#include "core/Settings.h"
#include "core/mMain.h"
#include "engine/SignatureDb.h"
#include "platform/FolderCheck.h"
#include "quarantine/QuarantineStore.h"

#include <string>

namespace halvik::ui {

namespace {

constexpr const char* kWebSite = "http://www.orvento.example/";

constexpr TextColour kBlack{0, 0, 0};
constexpr TextColour kRed{255, 0, 0};

}  // namespace

void MainPresenter::load() {
  if (const auto foreign = core::foreignDataFolder())
    core::mMain::WriteLog(*foreign + " is not the user's own: nothing is stored or copied there");
  quarantine::EnsureQuarantineFolder();
  // The quarantine folder is listed through a link, as its page lists it.
  if (const std::string folder = quarantine::QuarantineFolder(); platform::isFolder(folder, platform::Links::Followed))
    m_view.listQuarantineFolder(folder);
  m_currentFrame = 0;
  engine::SignatureDb.setPath(core::programFile(engine::kScanDatabase));
  engine::reloadSignatures();
  const bool loaded = core::settings::onWhenOne(core::settings::Key::LoadAdMonitor);
  if (loaded) m_view.loadMonitor();
  showMonitorState(loaded);
  showSignatures();
  m_view.showStatusValue(StatusValue::LastSystemScan, core::settings::read(core::settings::Key::LastSystemScan));
  m_view.showStatusValue(StatusValue::ObjectsRemoved, core::settings::read(core::settings::Key::TotalObjectsRemoved));
  m_view.showStatusValue(StatusValue::TotalScans, core::settings::read(core::settings::Key::TotalScans));
  refreshQuarantineCount();
}

void MainPresenter::showMonitorState(bool loaded) {
  if (loaded)
    m_view.showMonitorStatus("charg\u00E9", kBlack);
  else
    m_view.showMonitorStatus("Non charg\u00E9", kRed);
}

void MainPresenter::showSignatures() {
  if (!engine::haveSignatures()) {
    const auto candidates = engine::signatureCandidates();
    core::mMain::WriteLog("No valid signature set (shipped set: " +
                          (candidates.empty() ? std::string("not looked at") : candidates.front().refusal) + ")");
    m_view.showSignatures("illisibles", kRed);
    return;
  }
  const auto set = engine::currentSignatures();
  m_view.showSignatures("version " + std::to_string(set->version()) + ", " + std::to_string(set->count()) + " noms",
                        kBlack);
}

void MainPresenter::refreshQuarantineCount() {
  m_view.showStatusValue(StatusValue::QuarantineCount, std::to_string(quarantine::ListQuarantine().size()));
}

void MainPresenter::SetCurrentFrame(int index) {
  if (index == m_currentFrame || index < 0 || index >= kPageCount) return;
  m_view.showPage(index);
  if (index == kQuarantinePage) {
    m_view.listQuarantineFolder(quarantine::QuarantineFolder());
    m_view.fillQuarantineList();
  }
  m_currentFrame = index;
}

void MainPresenter::imgButton_Click(int index) {
  switch (index) {
    case 0: m_view.openWebSite(kWebSite); break;
    case 1: m_view.showSettings(); break;
    case 2: SetCurrentFrame(kQuarantinePage); break;
    case 4: SetCurrentFrame(3); break;
    default: break;
  }
}

}  // namespace halvik::ui
