#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The fields of a /proc/<pid>/stat line that the process listing uses.
namespace halvik::platform::procstat {

// The kernel-thread bit of the flags field (PF_KTHREAD).
inline constexpr std::uint64_t kKernelThreadFlag = 0x00200000;

struct StatFields {
  std::uint64_t flags = 0;      // field 9
  std::uint64_t startTime = 0;  // field 22: clock ticks after boot
};

// Parses one stat line. The command name (field 2) is in parentheses and may itself hold spaces
// and parentheses, so the fields are counted after the last ")". nullopt when the line is cut short.
std::optional<StatFields> parse(std::string_view line);

}  // namespace halvik::platform::procstat
