#include "core/ProfileIndex.h"

#include "core/ProfileSyntax.h"

namespace profile {

std::uint32_t ProfileIndex::hash(std::uint32_t scope, std::string_view name) {
  // FNV-1a over the folded bytes, seeded with the scope, then mixed so that the low bits
  // used for the slot depend on every byte.
  std::uint64_t h = 0xcbf29ce484222325ull ^ (static_cast<std::uint64_t>(scope) * 0x9E3779B97F4A7C15ull);
  for (const char c : name) {
    h ^= static_cast<unsigned char>(syntax::fold(c));
    h *= 0x100000001b3ull;
  }
  h ^= h >> 29;
  h *= 0xbf58476d1ce4e5b9ull;
  h ^= h >> 32;
  return static_cast<std::uint32_t>(h);
}

void ProfileIndex::reset(std::size_t count) {
  std::size_t size = 16;
  while (size < count * 2) size *= 2;
  m_slots.assign(size, Slot{});
  m_mask = size - 1;
}

}  // namespace profile
