#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace halvik::quarantine {

// The copy number of the quarantine: when a stored name is taken, the next copy of that file
// name carries " (2)", then " (3)" and so on, before the name's last extension ("setup.exe",
// "setup (2).exe"; "hosts (2)"; a leading dot opens no extension: ".profile (2)").

// `name` with copy number `number` (the first copy, 1, carries none), at most `maxBytes`
// bytes long: a longer name loses bytes at the end of its stem, then of its extension too,
// but never its number, and never ends inside a UTF-8 sequence when that can be avoided.
std::string withCopyNumber(const std::string& name, int number, std::size_t maxBytes);

// `name` without its copy number ("setup (2).exe" gives "setup.exe"); nullopt when it carries
// none: the number is one or more decimal digits in " (" and ")" right before the extension,
// after a stem of at least one byte.
std::optional<std::string> withoutCopyNumber(const std::string& name);

}  // namespace halvik::quarantine
