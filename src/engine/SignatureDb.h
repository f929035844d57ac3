#pragma once

#include "engine/CurrentSignatures.h"
#include "engine/SignatureReader.h"
#include "engine/SignatureSet.h"

#include <string>

namespace halvik::engine {

// The one shared reader of the signature database, as the main window and the scan driver
// address it (Path, Section, Key, Value); it answers from the current set.
extern SignatureReader SignatureDb;

// The text after the last separator of `path` (on Windows "\" or "/"), or the whole text.
std::string FileNameOf(const std::string& path);

// The threat name stored in the reference database of the current set for the file name of
// `path`, or empty text; empty for a name that is no key name.
std::string LookupThreat(const std::string& path);

}  // namespace halvik::engine
