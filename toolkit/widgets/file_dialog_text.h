#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The texts a file dialog exchanges with the system.

// "Name|pattern|..." as the system's list: each "|" after the first
// character becomes NUL, and the list ends with two NULs (the string's own
// terminator is the second). Empty stays empty.
std::string FilterList(const std::string& filterText);

// A zero-filled buffer of `size` bytes starting with `name`, cut so that its
// terminating NUL fits.
std::vector<char> NameBuffer(const std::string& name, size_t size);

// The text of a buffer up to its first NUL, or all of it.
std::string BufferText(const std::vector<char>& buffer);

// Turns a multiple selection ("folder", NUL, "name", NUL, ..., NUL, NUL)
// into one text: every NUL followed by more text becomes CR.
void JoinSelection(std::vector<char>& buffer);
