#include "watch/DatabaseLookup.h"

#include "engine/SignatureDb.h"
#include "platform/Ascii.h"
#include "profile/cINI.h"

#include <memory>

namespace halvik::watch {

Lookup databaseLookup(const std::string& database) {
  auto reader = std::make_shared<profile::cINI>();
  reader->setPath(database);
  reader->setSection("Scanfiles");
  return [reader](std::string_view bareName) -> std::string {
    std::string name(bareName);
    if (!engine::IsKeyName(name)) return {};
    reader->setKey(platform::upperCase(std::move(name)));
    return reader->Value();
  };
}

}  // namespace halvik::watch
