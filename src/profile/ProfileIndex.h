#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace halvik::profile {

// An open-addressing hash table from (scope, name) to a 32-bit id, with names compared
// without regard to ASCII case. The names themselves stay with the caller: the table keeps
// only hashes and ids, and asks the caller whether an id stands for the name looked for.
class ProfileIndex {
 public:
  // Hash of `name` (case folded) within `scope` (a section number, for instance).
  static std::uint32_t hash(std::uint32_t scope, std::string_view name);

  // Empties the table and makes room for `count` ids.
  void reset(std::size_t count);

  // Adds `id` under `hash` unless `isSame(existingId)` holds for an id already there: the
  // first of equal names wins. True when `id` was added.
  template <typename IsSame>
  bool insertFirst(std::uint32_t hashValue, std::uint32_t id, IsSame&& isSame) {
    for (std::size_t i = hashValue & m_mask;; i = (i + 1) & m_mask) {
      Slot& slot = m_slots[i];
      if (slot.idPlusOne == 0) {
        slot = Slot{hashValue, id + 1};
        return true;
      }
      if (slot.hash == hashValue && isSame(slot.idPlusOne - 1)) return false;
    }
  }

  // Asks the processor to fetch the slot of `hash` ahead of its use.
  void prefetch(std::uint32_t hashValue) const {
#if defined(__GNUC__)
    __builtin_prefetch(&m_slots[hashValue & m_mask]);
#else
    (void)hashValue;
#endif
  }

  // The id under `hash` for which `matches(id)` holds.
  template <typename Matches>
  std::optional<std::uint32_t> find(std::uint32_t hashValue, Matches&& matches) const {
    if (m_slots.empty()) return std::nullopt;
    for (std::size_t i = hashValue & m_mask;; i = (i + 1) & m_mask) {
      const Slot& slot = m_slots[i];
      if (slot.idPlusOne == 0) return std::nullopt;
      if (slot.hash == hashValue && matches(slot.idPlusOne - 1)) return slot.idPlusOne - 1;
    }
  }

 private:
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t idPlusOne = 0;  // 0: empty
  };
  std::vector<Slot> m_slots;
  std::size_t m_mask = 0;
};

}  // namespace halvik::profile
