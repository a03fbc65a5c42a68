#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/mix_ids.h"
#include "support/test_files.h"

// One entry of a test archive: its bytes under the ID of its name, or
// under Id when given.
struct TMixEntrySpec {
  std::string Name;
  TBytes Data;
  std::optional<uint32_t> Id;
};

struct TMixBuild {
  bool Old = false;  // the old layout: a uint16 count first
  bool Encrypted = false;
  bool Checksummed = false;
  TMixIdKind Ids = TMixIdKind::Ts;
  bool NameTable = false;  // add a name table naming every entry, last
};

// An archive of the entries in the given order, their bodies one after
// the other. An encrypted index gets a key source made with the private
// exponent matching the games' public key.
TBytes BuildMix(const std::vector<TMixEntrySpec>& entries, const TMixBuild& how = {});

// `count` pseudo-random bytes.
TBytes NoiseBytes(uint32_t count, uint32_t seed);
