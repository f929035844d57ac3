#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace halvik::platform {

// The entries of one listing, their names kept end to end in one buffer that is reused from one
// listing to the next: a walk of thousands of folders allocates nothing per entry.
class DirEntries {
 public:
  void clear();
  // `listedId`: the entry's identity as the listing gives it (the inode number on Linux), 0 unknown.
  void add(std::string_view name, std::uint32_t attributes, std::uint64_t listedId = 0);

  std::size_t size() const { return m_entries.size(); }
  std::string_view name(std::size_t index) const {
    return std::string_view(m_names).substr(m_entries[index].offset, m_entries[index].size);
  }
  std::uint32_t attributes(std::size_t index) const { return m_entries[index].attributes; }
  std::uint64_t listedId(std::size_t index) const { return m_entries[index].listedId; }

 private:
  struct Entry {
    std::size_t offset;
    std::uint32_t size;
    std::uint32_t attributes;
    std::uint64_t listedId;
  };

  std::string m_names;
  std::vector<Entry> m_entries;
};

}  // namespace halvik::platform
