#include "formats/mix_key.h"

#include <nettle/mini-gmp.h>

#include <cstring>

namespace {

// The 319-bit public modulus every game of that era carries, big-endian.
constexpr uint8_t kPublicModulus[40] = {0x51, 0xbc, 0xda, 0x08, 0x6d, 0x39, 0xfc, 0xe4, 0x56, 0x51,
                                        0x60, 0xd6, 0x51, 0x71, 0x3f, 0xa2, 0xe8, 0xaa, 0x54, 0xfa,
                                        0x66, 0x82, 0xb0, 0x4a, 0xab, 0xdd, 0x0e, 0x6a, 0xf8, 0xb0,
                                        0xc1, 0xe6, 0xd1, 0xfb, 0x4f, 0x3d, 0xaa, 0x43, 0x7f, 0x15};
constexpr unsigned long kPublicExponent = 65537;
constexpr uint32_t kHalfSize = 40;
constexpr uint32_t kKeptBytes = 39;

// Little-endian `in` to the power 65537 modulo the public modulus, its low
// kKeptBytes bytes little-endian at `out`.
void RaiseHalf(const uint8_t* in, uint8_t* out) {
  mpz_t base, modulus, result;
  mpz_init(base);
  mpz_init(modulus);
  mpz_init(result);
  mpz_import(base, kHalfSize, -1, 1, 0, 0, in);
  mpz_import(modulus, sizeof kPublicModulus, 1, 1, 0, 0, kPublicModulus);
  mpz_powm_ui(result, base, kPublicExponent, modulus);
  // The result is below the modulus: at most 40 bytes.
  uint8_t bytes[kHalfSize] = {};
  size_t count = 0;
  mpz_export(bytes, &count, -1, 1, 0, 0, result);
  std::memcpy(out, bytes, kKeptBytes);
  mpz_clear(base);
  mpz_clear(modulus);
  mpz_clear(result);
}

}  // namespace

void MixKeyOfSource(const uint8_t source[kMixKeySourceSize], uint8_t key[kMixKeySize]) {
  uint8_t both[2 * kKeptBytes];
  RaiseHalf(source, both);
  RaiseHalf(source + kHalfSize, both + kKeptBytes);
  std::memcpy(key, both, kMixKeySize);
}

TMixCipher::TMixCipher(const uint8_t key[kMixKeySize]) {
  // Weak keys are still keys: the archive was written with this one.
  blowfish_set_key(&context_, kMixKeySize, key);
}

void TMixCipher::Decrypt(uint8_t* data, uint32_t size) const {
  blowfish_decrypt(&context_, size, data, data);
}

void TMixCipher::Encrypt(uint8_t* data, uint32_t size) const {
  blowfish_encrypt(&context_, size, data, data);
}
