#include "support/mix_builder.h"

#include <nettle/mini-gmp.h>

#include <cstring>

#include "formats/mix_key.h"
#include "formats/mix_names.h"
#include "formats/mix_writer.h"

namespace {

// The public modulus and its matching private exponent, big-endian.
const uint8_t kModulus[40] = {0x51, 0xbc, 0xda, 0x08, 0x6d, 0x39, 0xfc, 0xe4, 0x56, 0x51,
                              0x60, 0xd6, 0x51, 0x71, 0x3f, 0xa2, 0xe8, 0xaa, 0x54, 0xfa,
                              0x66, 0x82, 0xb0, 0x4a, 0xab, 0xdd, 0x0e, 0x6a, 0xf8, 0xb0,
                              0xc1, 0xe6, 0xd1, 0xfb, 0x4f, 0x3d, 0xaa, 0x43, 0x7f, 0x15};
const uint8_t kPrivateExponent[40] = {0x0a, 0x56, 0x37, 0xbc, 0x99, 0x13, 0x9c, 0x47, 0xc4, 0x22,
                                      0xc6, 0x7c, 0x54, 0x10, 0x5e, 0x5b, 0xdb, 0xd0, 0xae, 0xae,
                                      0x4a, 0xb4, 0xd4, 0x33, 0x43, 0x58, 0x27, 0x4e, 0x1b, 0xdf,
                                      0x57, 0x06, 0xa1, 0xfb, 0xf4, 0xe6, 0x82, 0x89, 0x30, 0x81};

// 39 little-endian bytes raised to the private exponent: 40 bytes whose
// public power gives them back.
void SignHalf(const uint8_t* plain, uint8_t* out) {
  mpz_t base, exponent, modulus, result;
  mpz_init(base);
  mpz_init(exponent);
  mpz_init(modulus);
  mpz_init(result);
  mpz_import(base, 39, -1, 1, 0, 0, plain);
  mpz_import(exponent, sizeof kPrivateExponent, 1, 1, 0, 0, kPrivateExponent);
  mpz_import(modulus, sizeof kModulus, 1, 1, 0, 0, kModulus);
  mpz_powm(result, base, exponent, modulus);
  std::memset(out, 0, 40);
  size_t count = 0;
  mpz_export(out, &count, -1, 1, 0, 0, result);
  mpz_clear(base);
  mpz_clear(exponent);
  mpz_clear(modulus);
  mpz_clear(result);
}

// Key source and key of every encrypted test archive.
void MakeKey(uint8_t source[kMixKeySourceSize], uint8_t key[kMixKeySize]) {
  uint8_t plain[78];
  for (uint32_t i = 0; i < sizeof plain; ++i)
    plain[i] = static_cast<uint8_t>(i * 37 + 11);
  SignHalf(plain, source);
  SignHalf(plain + 39, source + 40);
  std::memcpy(key, plain, kMixKeySize);
}

}  // namespace

TBytes NoiseBytes(uint32_t count, uint32_t seed) {
  TBytes bytes(count);
  uint32_t state = seed * 2654435761u + 1;
  for (uint8_t& b : bytes) {
    state = state * 1664525u + 1013904223u;
    b = static_cast<uint8_t>(state >> 24);
  }
  return bytes;
}

TBytes BuildMix(const std::vector<TMixEntrySpec>& given, const TMixBuild& how) {
  std::vector<TMixEntrySpec> entries = given;
  if (how.NameTable) {
    std::vector<std::string> names;
    for (const TMixEntrySpec& e : given)
      names.push_back(e.Name);
    entries.push_back({kMixNameTableName, MakeMixNameTable(names), std::nullopt});
  }
  TBytes table, body;
  PutLe16(table, static_cast<uint16_t>(entries.size()));
  uint32_t bodySize = 0;
  for (const TMixEntrySpec& e : entries)
    bodySize += static_cast<uint32_t>(e.Data.size());
  PutLe32(table, bodySize);
  for (const TMixEntrySpec& e : entries) {
    PutLe32(table, e.Id ? *e.Id : MixId(how.Ids, e.Name));
    PutLe32(table, static_cast<uint32_t>(body.size()));
    PutLe32(table, static_cast<uint32_t>(e.Data.size()));
    body.insert(body.end(), e.Data.begin(), e.Data.end());
  }
  TBytes out;
  if (!how.Old) PutLe32(out, (how.Checksummed ? 0x10000u : 0) | (how.Encrypted ? 0x20000u : 0));
  if (how.Encrypted) {
    uint8_t source[kMixKeySourceSize], key[kMixKeySize];
    MakeKey(source, key);
    out.insert(out.end(), source, source + kMixKeySourceSize);
    table.resize((table.size() + 7) / 8 * 8, 0);
    TMixCipher(key).Encrypt(table.data(), static_cast<uint32_t>(table.size()));
  }
  out.insert(out.end(), table.begin(), table.end());
  out.insert(out.end(), body.begin(), body.end());
  if (how.Checksummed) out.insert(out.end(), 20, 0xAB);
  return out;
}
