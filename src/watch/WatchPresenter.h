#pragma once

#include "engine/ScanHit.h"
#include "platform/FolderWatch.h"
#include "watch/WatchView.h"

#include <cstdint>
#include <unordered_map>
#include <unordered_set>

// What happens when the watch finds a threat: one notice per entry, "<threat> détecté" with its
// path and the two actions; "Mettre en quarantaine" copies the very entry found into the quarantine
// and removes it, as the results window's repair does; "Ignorer" exempts the entry for good (as a
// file restored from the quarantine is). With the automatic quarantine on ("AutoQuarantine" is
// "1"), the entry goes into the quarantine at once and the notice says how that went.
namespace halvik::watch {

class WatchPresenter {
 public:
  explicit WatchPresenter(WatchView& view) : m_view(view) {}

  // A hit of the watcher.
  void found(const engine::mScanFiles::Hit& hit);
  // The watcher reached its limit on folders: told once.
  void limitReached();

  void quarantineChosen(std::uint32_t notice);
  void ignoreChosen(std::uint32_t notice);

 private:
  struct Pending {
    engine::mScanFiles::Hit hit;
    platform::LastingId id;
  };

  // Copies the entry into the quarantine and removes it; the line the notice then shows.
  std::string quarantine(const engine::mScanFiles::Hit& hit);

  WatchView& m_view;
  std::unordered_map<std::uint32_t, Pending> m_pending;
  std::unordered_set<platform::LastingId, platform::LastingIdHash> m_noticed;
  bool m_limitTold = false;
};

}  // namespace halvik::watch
