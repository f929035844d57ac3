#pragma once

#include "profile/cINI.h"

#include <string>

namespace halvik::engine {

// The one shared reader of the signature database (section "Scanfiles": key = upper-case
// bare file name, value = threat name). Its Path, Section and Key keep whatever was last
// assigned: the main window points it at "scan.dll" at load, each scan sets the section,
// and the first LookupThreat moves it to "REFERENCE_6-27-03.dat" for the rest of the run.
extern profile::cINI SignatureDb;

// File names of the two databases in the program folder.
// Named as the databases have always shipped (a text file called ".dll", a dated name): kept so copies are found.
inline constexpr const char* kScanDatabase = "scan.dll";
inline constexpr const char* kReferenceDatabase = "REFERENCE_6-27-03.dat";

// The text after the last separator of `path` (on Windows "\" or "/"), or the whole text.
std::string FileNameOf(const std::string& path);

// True when `name` can be a database key as it stands: not empty, and no blank (space, tab,
// VT, FF) at either end. Keys lose those when the database is read, and a looked-up name
// loses its spaces, so " evil.exe" would otherwise be taken for "EVIL.EXE".
bool IsKeyName(const std::string& name);

// The threat name stored for the file name of `path` (looked up in upper case), or empty
// text; empty for a name that is no key name. Points SignatureDb at the reference database,
// section "Scanfiles".
std::string LookupThreat(const std::string& path);

}  // namespace halvik::engine
