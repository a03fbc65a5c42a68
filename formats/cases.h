#pragma once

#include <string>

// Small text routines of the commands. Positions are 1-based; 0 means "none".

// Prepends `fill` until the text is `width` characters long; a longer text
// comes back unchanged, nothing is ever cut.
std::string PadLeft(const std::string& text, char fill, size_t width);

// Position of the last `character` in the text; 0 when it does not occur.
size_t LastPosOfChar(const std::string& text, char character);

// The largest LastPosOfChar of the text over every character of `delimiters`.
size_t LastPosOfAny(const std::string& delimiters, const std::string& text);

// The path up to and including its last "\" or ":"; empty when it has neither.
std::string FolderPartOf(const std::string& path);
