#include "platform/posix/TempFile.h"

#include "platform/TempFileName.h"
#include "platform/posix/PathAt.h"
#include "platform/posix/TempFileSweep.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace halvik::platform::posix {
namespace {
// A name no other writer picks: the process, a counter and random bits.
std::string temporaryName() {
  static std::atomic<unsigned> counter{0};
  std::uint64_t random = 0;
  if (getrandom(&random, sizeof random, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof random)) random = 0;
  return platform::temporaryName(static_cast<std::uint32_t>(getpid()), counter++, random);
}

// Moves `from` to `to` in `folder` only when `to` does not exist, atomically. File systems
// without RENAME_NOREPLACE get a hard link, which fails the same way on an existing name.
bool renameNoReplace(int folder, const char* from, const char* to) {
  if (renameat2(folder, from, folder, to, RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  if (linkat(folder, from, folder, to, 0) != 0) return false;
  unlinkat(folder, from, 0);
  return true;
}
}  // namespace

TempFile::TempFile(int folder, bool ownerOnly) : m_folder(folder) {
  sweepStaleTemporaries(folder);
  for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
    m_name = temporaryName();
    m_fd = openat(folder, m_name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                  ownerOnly ? 0600 : 0666);
    if (m_fd < 0 && errno != EEXIST) break;
  }
  m_created = m_fd >= 0;
  if (m_fd >= 0 && ownerOnly && fchmod(m_fd, 0600) != 0) closeFile();
}

TempFile::~TempFile() {
  closeFile();
  if (m_created && !m_committed) unlinkat(m_folder, m_name.c_str(), 0);
}

bool TempFile::closeFile() {
  if (m_fd < 0) return false;
  const bool closed = close(m_fd) == 0;
  m_fd = -1;
  return closed;
}

bool TempFile::write(const char* data, std::size_t size) {
  if (m_fd < 0) return false;
  while (size > 0) {
    const ssize_t written = ::write(m_fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool TempFile::commit(const char* name, bool replace) {
  if (m_fd < 0) return false;
  const bool flushed = fsync(m_fd) == 0;
  if (!closeFile() || !flushed) return false;
  m_committed = replace ? renameat(m_folder, m_name.c_str(), m_folder, name) == 0
                        : renameNoReplace(m_folder, m_name.c_str(), name);
  return m_committed;
}

bool writeFileAtomically(const std::string& path, const std::string& bytes) {
  const PathAt at(path, PathAt::Folder::Always);
  if (!at.ok()) return false;
  TempFile file(at.folder(), false);
  return file.write(bytes.data(), bytes.size()) && file.commit(at.name(), true);
}

}  // namespace halvik::platform::posix
