#pragma once

#include <cstdint>
#include <string>

namespace halvik::engine {

// The state file beside the sets of an update folder: the highest version ever installed
// there, so that no older set, no replayed one and no set rolled back from is installed again.
namespace install_state {

inline constexpr const char* kStateFile = "signatures.state";

// The version recorded in `folder`, 0 when there is none (or the file is damaged).
std::uint64_t recorded(const std::string& folder);

// Records `version` as the highest installed in `folder`, written whole.
bool record(const std::string& folder, std::uint64_t version);

}  // namespace install_state
}  // namespace halvik::engine
