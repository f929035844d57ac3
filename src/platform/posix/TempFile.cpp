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
  for (int attempt = 0; attempt < 100 && !m_fd.ok(); ++attempt) {
    m_name = temporaryName();
    m_fd.reset(
        openat(folder, m_name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, ownerOnly ? 0600 : 0666));
    if (!m_fd.ok() && errno != EEXIST) break;
  }
  if (!m_fd.ok()) {
    m_created = Status::lastError();
    return;
  }
  if (ownerOnly && fchmod(m_fd.get(), 0600) != 0) {
    m_created = Status::lastError();
    m_fd.reset();
    unlinkat(folder, m_name.c_str(), 0);
  }
}

TempFile::~TempFile() {
  if (m_created && !m_committed) unlinkat(m_folder, m_name.c_str(), 0);
}

Status TempFile::write(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(m_fd.get(), data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return Status::lastError();
    if (written == 0) return Status::failure(EIO);
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return {};
}

Status TempFile::commit(const char* name, bool replace, bool flush) {
  if (flush && fsync(m_fd.get()) != 0) return Status::lastError();
  if (close(static_cast<int>(m_fd.release())) != 0) return Status::lastError();
  const bool renamed = replace ? renameat(m_folder, m_name.c_str(), m_folder, name) == 0
                               : renameNoReplace(m_folder, m_name.c_str(), name);
  if (!renamed) return Status::lastError();
  m_committed = true;
  return {};
}

Status writeAtomically(const std::string& path, WriteOptions options, const std::function<Status(TempFile&)>& fill) {
  const PathAt at(path, PathAt::Folder::Always);
  if (!at.ok()) return at.status();
  TempFile file(at.folder(), options.ownerOnly);
  if (!file.created()) return file.created();
  if (Status filled = fill(file); !filled) return filled;
  if (Status committed = file.commit(at.name(), options.replace, options.flush); !committed) return committed;
  if (!options.syncFolder) return {};
  // The folder handle of PathAt only names the folder: flushing needs one open for reading.
  const Handle folder(openat(at.folder(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder.ok()) return Status::lastError();
  return fsync(folder.get()) == 0 || errno == EINVAL ? Status() : Status::lastError();
}

}  // namespace halvik::platform::posix
