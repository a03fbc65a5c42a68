#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The two hashes that turn an entry's file name into its archive ID. Both
// hash the name in upper case (ASCII letters only).
enum class TMixIdKind : uint8_t { Td, Ts };

// td: the old layout and the first game's new layout; words of the name
// padded with zeros, each added to the ID rotated left by one.
uint32_t TdId(const std::string& name);
// ts: the later games; zlib's CRC-32 of the name padded as they pad it.
uint32_t TsId(const std::string& name);
uint32_t MixId(TMixIdKind kind, const std::string& name);

// "0678AC5D": 8 upper-case hex digits.
std::string MixIdText(uint32_t id);
// Exactly 8 hex digits of either case; nothing otherwise.
std::optional<uint32_t> ParseMixId(const std::string& text);
