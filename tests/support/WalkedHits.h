#pragma once

#include "core/Locations.h"
#include "engine/SignatureDb.h"
#include "engine/mScanFiles.h"
#include "support/TestEnvironment.h"

#include <string>
#include <vector>

namespace halvik::testing_support {

// Keeps every hit a walk makes.
class HitRecorder : public engine::mScanFiles::ScanView {
 public:
  bool visible() const override { return true; }
  void close() override {}
  void setCurFile(const std::string&) override {}
  void setObjectsScanned(const std::string&) override {}
  void setMaliciousObjects(const std::string&) override {}
  void addHit(const engine::mScanFiles::Hit& hit) override { hits.push_back(hit); }

  std::vector<engine::mScanFiles::Hit> hits;
};

// The hits a scan of `root` makes with a signature database that names each of `names`
// (written into the program folder, which a TestEnvironment must make a private one).
inline std::vector<engine::mScanFiles::Hit> walkedHits(const std::string& root, const std::vector<std::string>& names) {
  std::string text = "[scanfiles]\r\n";
  for (const auto& name : names) text += name + "=Demo\r\n";
  writeFile(core::programFile(engine::kScanDatabase), text);
  engine::reloadSignatures();
  engine::SignatureDb.setSection("SCANFILES");
  HitRecorder recorder;
  engine::mScanFiles::StartScan("*.*", root, recorder, {});
  return recorder.hits;
}

// The hit a scan of `root` makes on the entry `path` below it; a hit with the path alone (which
// no repair acts on) when the scan makes none.
inline engine::mScanFiles::Hit walkedHit(const std::string& root, const std::string& path) {
  for (const auto& hit : walkedHits(root, {engine::FileNameOf(path)}))
    if (hit.path == path) return hit;
  return engine::mScanFiles::Hit{"DEMO", path, 0, {}, {}};
}

}  // namespace halvik::testing_support
