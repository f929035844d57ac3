// Fuzz target of the profile reader and writer. An input is a file (or none) followed by up to
// 16 calls decoded from the rest: reads of values, key and section lists and whole sections
// into buffers of any size, writes of values, removals of keys and of sections. Every call
// must keep its buffer; a write that succeeds must read back exactly, a removal must leave
// nothing to find, a refused write must leave the file byte for byte, and no temporary file
// may remain.
#include "FuzzSupport.h"
#include "profile/Profile.h"
#include "profile/ProfileSyntax.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

namespace halvik::fuzz {

namespace {

profile::Text text(FuzzedDataProvider& input, std::string& storage) {
  if (input.ConsumeIntegralInRange(0, 7) == 0) return std::nullopt;
  storage = input.ConsumeRandomLengthString(40);
  return storage;
}

// A name as the profile functions take it: up to its first NUL, spaces at the ends trimmed.
std::string nameOf(profile::Text name) {
  return std::string(profile::syntax::trimSpaces(profile::syntax::untilNul(*name)));
}

void read(FuzzedDataProvider& input, const std::string& file) {
  std::string sectionText, keyText, defaultText;
  const auto section = text(input, sectionText);
  const auto key = text(input, keyText);
  const auto fallback = text(input, defaultText);
  std::vector<char> buffer(input.ConsumeIntegralInRange<std::size_t>(0, 300));
  const std::span<char> span(buffer.data(), buffer.size());
  const std::uint32_t count = input.ConsumeBool() ? profile::getString(section, key, fallback, span, file)
                                                  : profile::getSection(section, span, file);
  FUZZ_REQUIRE(count == 0 || count < buffer.size());
}

void write(FuzzedDataProvider& input, const std::string& file) {
  std::string sectionText, keyText, valueText;
  const auto section = text(input, sectionText);
  const auto key = text(input, keyText);
  const auto value = text(input, valueText);
  const auto before = readBytes(file);
  const bool written = profile::writeString(section, key, value, file);
  if (!written) {
    FUZZ_REQUIRE(readBytes(file) == before);
    return;
  }
  if (!section) return;
  const std::string sectionName = nameOf(section);
  const std::string keyName = key ? nameOf(key) : std::string("any");
  const auto found = profile::lookup(sectionName, keyName, file);
  if (key && value) {
    // A key that starts with ";" is written as a comment line, which no read finds.
    if (!keyName.starts_with(';')) FUZZ_REQUIRE(found == std::string(profile::syntax::untilNul(*value)));
  } else {
    FUZZ_REQUIRE(!found);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static unsigned run = 0;
  FuzzedDataProvider input(data, size);
  const std::string file = workFolder() + "/profile" + std::to_string(run++) + ".ini";
  if (input.ConsumeBool()) writeBytes(file, input.ConsumeRandomLengthString(4096));
  for (int call = 0; call < 16 && input.remaining_bytes() > 0; ++call) {
    if (input.ConsumeIntegralInRange(0, 2) == 0)
      write(input, file);
    else
      read(input, file);
  }
  FUZZ_REQUIRE(!holdsTemporaryFile(workFolder()));
  std::filesystem::remove(file);
  std::filesystem::remove(file + ".lock");
  return 0;
}

}  // namespace halvik::fuzz
