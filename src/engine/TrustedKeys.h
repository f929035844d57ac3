#pragma once

#include "engine/MinisignKey.h"

#include <string>
#include <string_view>
#include <vector>

namespace halvik::engine {

// What checking a detached signature against the trusted keys found.
enum class SignatureCheck {
  Verified,      // signed by a trusted key, trusted comment included
  Malformed,     // the signature file is not one
  UntrustedKey,  // no trusted key has the signer's key id
  BadSignature,  // the key is trusted, but the file or the trusted comment does not match
};

// The public keys whose signatures the program accepts: every minisign public-key file of the
// program folder's "keys" folder (an administrator adds a mirror's key by dropping its file
// there), provided that folder passes the trust rule and the file is writable by its owner only.
class TrustedKeys {
 public:
  explicit TrustedKeys(std::vector<MinisignKey> keys) : m_keys(std::move(keys)) {}

  // The keys of `folder`; none when it fails the trust rule. Files that are not key files, or
  // that group or others may write, are left out.
  static TrustedKeys fromFolder(const std::string& folder);
  // The keys of the program folder's "keys" folder.
  static TrustedKeys installed();

  SignatureCheck check(std::string_view message, std::string_view signatureFile) const;
  std::size_t count() const { return m_keys.size(); }

 private:
  std::vector<MinisignKey> m_keys;
};

// What `check` found, in English for the log: "signed by an untrusted key" and the like.
const char* describe(SignatureCheck check);

// The folder of the trusted keys, in the program folder.
inline constexpr const char* kKeysFolder = "keys";

}  // namespace halvik::engine
