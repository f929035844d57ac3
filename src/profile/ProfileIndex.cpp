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
  // Eight bytes at a time, folded, each word multiplied in; the length and scope seed it.
  std::uint64_t h = (static_cast<std::uint64_t>(scope) << 32 | name.size()) * 0x9E3779B97F4A7C15ull;
  std::size_t i = 0;
  for (; i + 8 <= name.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, name.data() + i, 8);
    h = (h ^ syntax::foldWord(word)) * 0x100000001b3ull;
    h ^= h >> 31;
  }
  if (i < name.size()) {
    std::uint64_t word = 0;
    std::memcpy(&word, name.data() + i, name.size() - i);
    h = (h ^ syntax::foldWord(word)) * 0x100000001b3ull;
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
