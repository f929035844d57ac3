// Fuzz target of what a signature feed delivers. An input is a key file, a ".minisig" file and a
// set, split at their lengths: the parsers read each, the set is checked against the key it
// came with and read whether or not it verifies, and then, signed here with a key of the run,
// it must verify and read the same as before.
#include "FuzzSupport.h"
#include "engine/MinisignKey.h"
#include "engine/MinisignSignature.h"
#include "engine/SignatureSet.h"
#include "engine/TrustedKeys.h"
#include "support/MinisignSigner.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace halvik::fuzz {

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const testing_support::MinisignSigner signer;
  static const engine::TrustedKeys trusted({engine::MinisignKey::parse(signer.publicKeyFile()).value()});
  FuzzedDataProvider input(data, size);
  const std::string keyFile = input.ConsumeRandomLengthString(256);
  const std::string signatureFile = input.ConsumeRandomLengthString(512);
  const std::string set = input.ConsumeRemainingBytesAsString();

  const auto key = engine::MinisignKey::parse(keyFile);
  const auto signature = engine::MinisignSignature::parse(signatureFile);
  const engine::TrustedKeys given(key ? std::vector<engine::MinisignKey>{*key} : std::vector<engine::MinisignKey>{});
  const engine::SignatureCheck check = given.check(set, signatureFile);
  FUZZ_REQUIRE(signature || check == engine::SignatureCheck::Malformed);
  const auto unverified = engine::SignatureSet::parse(set, "feed");

  const auto form =
      set.size() % 2 ? testing_support::MinisignSigner::Form::Hashed : testing_support::MinisignSigner::Form::Legacy;
  FUZZ_REQUIRE(trusted.check(set, signer.sign(set, form)) == engine::SignatureCheck::Verified);
  FUZZ_REQUIRE(trusted.check(set + "x", signer.sign(set, form)) == engine::SignatureCheck::BadSignature);
  const auto verified = engine::SignatureSet::parse(set, "feed");
  FUZZ_REQUIRE(verified.has_value() == unverified.has_value());
  FUZZ_REQUIRE(!verified || (verified->count() > 0 && verified->version() == unverified->version()));
  return 0;
}

}  // namespace halvik::fuzz
