#include "platform/Status.h"

#include "platform/SystemText.h"

namespace halvik::platform {

Status Status::failure(std::uint32_t code) {
  Status status;
  status.m_code = code;
  status.m_text = errorText(status.m_code);
  return status;
}

Status Status::lastError() { return failure(lastErrorCode()); }

}  // namespace halvik::platform
