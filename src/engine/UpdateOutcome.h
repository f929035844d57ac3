#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace halvik::engine {

// What an update or a rollback of the signature set came to, with one French line that says it.
struct UpdateOutcome {
  enum class Kind {
    Installed,       // a newer set is in place (or, for a rollback, the previous one)
    AlreadyCurrent,  // the feed holds the version in use: "déjà à jour"
    Refused,         // nothing changed: `message` says why
  };
  Kind kind = Kind::Refused;
  std::string message;
  std::uint64_t version = 0;  // of the set installed or found current
  std::size_t count = 0;      // its names

  bool succeeded() const { return kind != Kind::Refused; }
};

}  // namespace halvik::engine
