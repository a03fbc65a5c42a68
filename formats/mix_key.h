#pragma once

#include <cstdint>

#include <nettle/blowfish.h>

// The key source of an encrypted archive index and the Blowfish key it
// stands for.
constexpr uint32_t kMixKeySourceSize = 80;
constexpr uint32_t kMixKeySize = 56;
constexpr uint32_t kMixBlockSize = 8;

// The Blowfish key: each 40-byte half of the key source, a little-endian
// number, raised to 65537 modulo the games' public modulus; the low 39
// bytes of each result, the first 56 of the 78.
void MixKeyOfSource(const uint8_t source[kMixKeySourceSize], uint8_t key[kMixKeySize]);

// Deciphers the index blocks of one archive, Blowfish in ECB mode.
class TMixCipher {
 public:
  explicit TMixCipher(const uint8_t key[kMixKeySize]);
  // `size` must be a multiple of kMixBlockSize; works in place.
  void Decrypt(uint8_t* data, uint32_t size) const;
  void Encrypt(uint8_t* data, uint32_t size) const;

 private:
  blowfish_ctx context_;
};
