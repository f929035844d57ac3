// Fuzz target of the settings store. An input is a settings file (or none) followed by up to
// 16 calls decoded from the rest: reads and writes of any application, section, key and value.
// A write must succeed (the folder is ours) and read back exactly at once, whatever the file
// held before: a damaged file is set aside as "<file>.bad" and a new one started.
#include "FuzzSupport.h"
#include "core/SettingsStore.h"
#include "platform/Environment.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace halvik::fuzz {

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static unsigned run = 0;
  FuzzedDataProvider input(data, size);
  const std::string folder = workFolder() + "/run" + std::to_string(run++);
  std::filesystem::create_directory(folder);
  const std::string file = folder + "/settings.ini";
  platform::Environment& environment = platform::environment();
  environment.programFolder = environment.autostartFolder = folder;
  environment.settingsFile = file;
  if (input.ConsumeBool()) writeBytes(file, input.ConsumeRandomLengthString(4096));
  for (int call = 0; call < 16 && input.remaining_bytes() > 0; ++call) {
    const bool writing = input.ConsumeBool();
    const std::string app = input.ConsumeRandomLengthString(24);
    const std::string section = input.ConsumeRandomLengthString(24);
    const std::string key = input.ConsumeRandomLengthString(24);
    const std::string value = input.ConsumeRandomLengthString(40);
    if (!writing) {
      core::SettingsStore::GetSetting(app, section, key, value);
      continue;
    }
    FUZZ_REQUIRE(core::SettingsStore::SaveSetting(app, section, key, value));
    FUZZ_REQUIRE(core::SettingsStore::GetSetting(app, section, key, value + "?") == value);
  }
  FUZZ_REQUIRE(!holdsTemporaryFile(folder));
  std::filesystem::remove_all(folder);
  return 0;
}

}  // namespace halvik::fuzz
