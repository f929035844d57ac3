#include "platform/win32/TempFile.h"

#include "platform/TempFileName.h"
#include "platform/win32/TempFileSweep.h"

#include <atomic>
#include <cstdint>
#include <random>

namespace halvik::platform::win32 {
namespace {

std::uint64_t randomBits() {
  std::random_device device;
  return (static_cast<std::uint64_t>(device()) << 32) | device();
}

// The folder of `path`: what comes before its last separator ("." for a bare name).
std::string folderOf(const std::string& path) {
  const auto separator = path.find_last_of("\\/");
  return separator == std::string::npos ? std::string(".") : path.substr(0, separator);
}

}  // namespace

TempFile::TempFile(const std::string& folder, SECURITY_ATTRIBUTES* security) {
  static std::atomic<unsigned> counter{0};
  sweepStaleTemporaries(folder);
  for (int attempt = 0; attempt < 100 && !m_file; ++attempt) {
    m_path = folder + "\\" + temporaryName(GetCurrentProcessId(), counter++, randomBits());
    m_file =
        Handle(CreateFileA(m_path.c_str(), GENERIC_WRITE, 0, security, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (m_file) break;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  if (!m_file) m_created = Status::lastError();
}

TempFile::~TempFile() {
  m_file.reset();
  if (m_created && !m_committed) DeleteFileA(m_path.c_str());
}

Status TempFile::write(const char* data, std::size_t size) {
  while (size > 0) {
    const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(m_file.get(), data, chunk, &written, nullptr)) return Status::lastError();
    if (written == 0) return Status::failure(ERROR_WRITE_FAULT);
    data += written;
    size -= written;
  }
  return {};
}

Status TempFile::commit(const std::string& destination, bool replace, DWORD attributes) {
  if (!FlushFileBuffers(m_file.get())) return Status::lastError();
  m_file.reset();
  if (attributes != 0 && !SetFileAttributesA(m_path.c_str(), attributes)) return Status::lastError();
  // Without MOVEFILE_REPLACE_EXISTING the move fails when the destination exists.
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
  if (!MoveFileExA(m_path.c_str(), destination.c_str(), flags)) return Status::lastError();
  m_committed = true;
  return {};
}

Status writeAtomically(const std::string& path, WriteOptions options, const std::function<Status(TempFile&)>& fill) {
  TempFile file(folderOf(path), options.security);
  if (!file.created()) return file.created();
  if (Status filled = fill(file); !filled) return filled;
  return file.commit(path, options.replace, options.attributes);
}

}  // namespace halvik::platform::win32
