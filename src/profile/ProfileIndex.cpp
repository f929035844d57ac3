#include "profile/ProfileIndex.h"

#include "profile/ProfileSyntax.h"

#include <cstring>

namespace halvik::profile {

namespace {

std::uint64_t mix(std::uint64_t h) {
  h ^= h >> 29;
  h *= 0xbf58476d1ce4e5b9ull;
  return h ^ (h >> 32);
}

}  // namespace

std::uint32_t ProfileIndex::hash(std::uint32_t scope, std::string_view name) {
  // Eight folded bytes at a time, each word multiplied in; the length and scope seed it.
  std::uint64_t h = (static_cast<std::uint64_t>(scope) << 32 | name.size()) * 0x9E3779B97F4A7C15ull;
  for (std::size_t i = 0; i < name.size(); i += 8) {
    char folded[8] = {};
    for (std::size_t j = 0; j < 8 && i + j < name.size(); ++j) folded[j] = syntax::fold(name[i + j]);
    std::uint64_t word;
    std::memcpy(&word, folded, 8);
    h = (h ^ word) * 0x100000001b3ull;
    h ^= h >> 31;
  }
  return static_cast<std::uint32_t>(mix(h));
}

void ProfileIndex::reset(std::size_t count) {
  std::size_t size = 16;
  while (size < count * 2) size *= 2;
  m_slots.assign(size, Slot{});
  m_mask = size - 1;
}

}  // namespace halvik::profile
