#include "engine/MinisignKey.h"
#include "engine/MinisignSignature.h"
#include "engine/TrustedKeys.h"
#include "support/MinisignSigner.h"

#include <gtest/gtest.h>

#include <regex>

namespace halvik::engine {
namespace {

using testing_support::MinisignSigner;

const std::string kSet = "[Signatures]\r\nVersion=2026120701\r\n[Scanfiles]\r\nEVIL.EXE=Trojan.Evil\r\n";

TrustedKeys keysOf(const MinisignSigner& signer) {
  return TrustedKeys({MinisignKey::parse(signer.publicKeyFile()).value()});
}

TEST(TrustedKeysTest, BothFormsOfATrustedKeysSignatureVerify) {
  const MinisignSigner signer;
  const TrustedKeys keys = keysOf(signer);
  EXPECT_EQ(keys.check(kSet, signer.sign(kSet)), SignatureCheck::Verified);
  EXPECT_EQ(keys.check(kSet, signer.sign(kSet, MinisignSigner::Form::Legacy)), SignatureCheck::Verified);
  // Line ends written on Windows.
  const std::string crlf = std::regex_replace(signer.sign(kSet), std::regex("\n"), "\r\n");
  EXPECT_EQ(keys.check(kSet, crlf), SignatureCheck::Verified);
}

TEST(TrustedKeysTest, AChangedFileOrTrustedCommentIsABadSignature) {
  const MinisignSigner signer;
  const TrustedKeys keys = keysOf(signer);
  for (const auto form : {MinisignSigner::Form::Hashed, MinisignSigner::Form::Legacy}) {
    EXPECT_EQ(keys.check(kSet + "GATOR.EXE=Gator\r\n", signer.sign(kSet, form)), SignatureCheck::BadSignature);
    EXPECT_EQ(keys.check(kSet.substr(0, kSet.size() - 3), signer.sign(kSet, form)), SignatureCheck::BadSignature);
    const std::string signature = signer.sign(kSet, form, "timestamp:1");
    EXPECT_EQ(keys.check(kSet, std::regex_replace(signature, std::regex("timestamp:1"), "timestamp:2")),
              SignatureCheck::BadSignature);
  }
  // The hashed form's mark turned into the legacy one's: the same bytes no longer verify.
  std::string relabelled = signer.sign(kSet);
  const auto line = relabelled.find('\n') + 1;
  relabelled.replace(line, 3, "RWQ");  // base64 of "Ed" followed by the key id's first bits
  EXPECT_NE(keys.check(kSet, relabelled), SignatureCheck::Verified);
}

TEST(TrustedKeysTest, AnotherKeysSignatureIsUntrusted) {
  const MinisignSigner trusted;
  const MinisignSigner stranger;
  EXPECT_EQ(keysOf(trusted).check(kSet, stranger.sign(kSet)), SignatureCheck::UntrustedKey);
  EXPECT_EQ(TrustedKeys({}).check(kSet, trusted.sign(kSet)), SignatureCheck::UntrustedKey);
}

TEST(TrustedKeysTest, DamagedFilesAreMalformed) {
  const MinisignSigner signer;
  const std::string good = signer.sign(kSet);
  const auto lineEnd = [&](int n) {
    std::size_t at = 0;
    for (int i = 0; i < n; ++i) at = good.find('\n', at) + 1;
    return at;
  };
  for (const std::string& damaged :
       {std::string(), good.substr(0, lineEnd(3)), good.substr(0, lineEnd(1) + 20), "x" + good,
        good.substr(0, lineEnd(2)) + "comment: no\n" + good.substr(lineEnd(3)),
        good.substr(0, lineEnd(1)) + "!!" + good.substr(lineEnd(1) + 2), std::string(5000, '\n')})
    EXPECT_EQ(TrustedKeys({MinisignKey::parse(signer.publicKeyFile()).value()}).check(kSet, damaged),
              SignatureCheck::Malformed)
        << damaged;
  const std::string key = signer.publicKeyFile();
  EXPECT_FALSE(MinisignKey::parse(key.substr(key.find('\n') + 1)));
  EXPECT_FALSE(MinisignKey::parse(key.substr(0, key.size() - 5)));
  EXPECT_FALSE(MinisignKey::parse(""));
}

}  // namespace
}  // namespace halvik::engine
