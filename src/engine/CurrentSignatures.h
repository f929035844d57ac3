#pragma once

#include "engine/SignatureSet.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The one current signature set that the walk, the monitor, the command line and the companion
// look names up in, chosen among three places: the program folder (the set shipped with the
// program, trusted as shipped), the user's "Signatures" folder and the machine-wide signatures
// folder (updates). Each place holds a set under both database names, "scan.dll" (the walk's)
// and "REFERENCE_6-27-03.dat" (LookupThreat's); when one of them is not valid its user reads the
// other. A file is valid when it parses and holds a name; in an update folder only when, besides,
// the folder passes the trust rule of platform::isTrustedFolder and the verifier accepts the file
// with its ".minisig" beside it. The valid place with the highest version wins; on equal versions
// the earlier place of the order above.
namespace halvik::engine {

// File names of the two databases of a place.
// Named as the databases have always shipped (a text file called ".dll", a dated name): kept so copies are found.
inline constexpr const char* kScanDatabase = "scan.dll";
inline constexpr const char* kReferenceDatabase = "REFERENCE_6-27-03.dat";

// Judges an update file against its detached signature; false (with the reason, in English)
// refuses it. The default verifier refuses every update, so that only the shipped set is used.
using SetVerifier = std::function<bool(std::string_view setBytes, std::string_view minisigBytes, std::string* reason)>;

// Sets the verifier of updates; meant to be called once, at start, before the first reload.
void setSetVerifier(SetVerifier verifier);

enum class SignaturePlace { Program, User, Machine };

// What a reload found in one place.
struct SignatureCandidate {
  SignaturePlace place = SignaturePlace::Program;
  std::string folder;
  std::shared_ptr<const SignatureSet> set;  // the walk's set when valid; null otherwise
  std::string refusal;                      // why it is not valid (English); empty when valid
  bool present = true;                      // false when neither database file is there
};

// Loads the three places again and makes the winner current (an empty set when none is
// valid). Called at start and before every scan; safe from any thread.
void reloadSignatures();

// The current set (never null): the one the walk uses, whose version and count are shown; an
// empty set when no place holds a valid one.
std::shared_ptr<const SignatureSet> currentSignatures();

// The reference file of the current set's folder, LookupThreat's set; the current set itself
// when that file is not valid.
std::shared_ptr<const SignatureSet> currentReference();

// True when the last reload found a valid set.
bool haveSignatures();

// The places as the last reload found them, in the order Program, User, Machine.
std::vector<SignatureCandidate> signatureCandidates();

}  // namespace halvik::engine
