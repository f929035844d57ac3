#pragma once

#include <sodium.h>

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace halvik::testing_support {

// A throwaway minisign key made for one test: its public-key file, and detached signatures in
// minisign's format ("ED", over the BLAKE2b-512 hash, as minisign signs by default, or the
// legacy "Ed" over the message itself), with the trusted comment's global signature.
class MinisignSigner {
 public:
  enum class Form { Hashed, Legacy };

  MinisignSigner() {
    if (sodium_init() < 0) throw std::runtime_error("libsodium could not start");
    crypto_sign_keypair(m_public.data(), m_secret.data());
    randombytes_buf(m_keyId.data(), m_keyId.size());
  }

  std::string publicKeyFile() const {
    return "untrusted comment: minisign public key\n" + base64("Ed" + bytes(m_keyId) + bytes(m_public)) + "\n";
  }

  std::string sign(std::string_view message, Form form = Form::Hashed,
                   const std::string& trustedComment = "timestamp:1796000000\tfile:signatures.ini") const {
    std::string signed_(message);
    if (form == Form::Hashed) {
      std::array<unsigned char, crypto_generichash_BYTES_MAX> hash{};
      crypto_generichash(hash.data(), hash.size(), data(message), message.size(), nullptr, 0);
      signed_ = bytes(hash);
    }
    const std::string signature = detached(signed_);
    return "untrusted comment: signature from a test key\n" +
           base64((form == Form::Hashed ? "ED" : "Ed") + bytes(m_keyId) + signature) +
           "\ntrusted comment: " + trustedComment + "\n" + base64(detached(signature + trustedComment)) + "\n";
  }

 private:
  static const unsigned char* data(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
  }
  template <std::size_t N>
  static std::string bytes(const std::array<unsigned char, N>& array) {
    return std::string(reinterpret_cast<const char*>(array.data()), N);
  }
  static std::string base64(const std::string& raw) {
    std::string text(sodium_base64_ENCODED_LEN(raw.size(), sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(text.data(), text.size(), data(raw), raw.size(), sodium_base64_VARIANT_ORIGINAL);
    text.pop_back();  // the terminating NUL
    return text;
  }
  std::string detached(const std::string& message) const {
    std::array<unsigned char, crypto_sign_BYTES> signature{};
    crypto_sign_detached(signature.data(), nullptr, data(message), message.size(), m_secret.data());
    return bytes(signature);
  }

  std::array<unsigned char, crypto_sign_PUBLICKEYBYTES> m_public{};
  std::array<unsigned char, crypto_sign_SECRETKEYBYTES> m_secret{};
  std::array<unsigned char, 8> m_keyId{};
};

}  // namespace halvik::testing_support
