#pragma once

#include "support/MinisignSigner.h"
#include "support/TempFolder.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace halvik::testing_support {

// A signature set of `names` names ("EVIL<i>.EXE") at `version`, as a feed publishes it.
inline std::string setText(std::uint64_t version, int names = 2) {
  std::string text = "[Signatures]\r\nVersion=" + std::to_string(version) + "\r\nDate=2026-12-07\r\n[Scanfiles]\r\n";
  for (int i = 0; i < names; ++i) text += "EVIL" + std::to_string(i) + ".EXE=Trojan.Test" + std::to_string(i) + "\r\n";
  return text;
}

// Publishes `set` signed by `signer` as a feed in `folder` (created when missing).
inline void publish(const std::string& folder, const std::string& set, const MinisignSigner& signer,
                    MinisignSigner::Form form = MinisignSigner::Form::Hashed) {
  std::filesystem::create_directories(folder);
  writeFile(folder + "/signatures.ini", set);
  writeFile(folder + "/signatures.ini.minisig", signer.sign(set, form));
}

// Makes `signer` a trusted key of the program folder `programFolder`.
inline void trustKey(const std::string& programFolder, const MinisignSigner& signer) {
  std::filesystem::create_directories(programFolder + "/keys");
  writeFile(programFolder + "/keys/test.pub", signer.publicKeyFile());
}

}  // namespace halvik::testing_support
