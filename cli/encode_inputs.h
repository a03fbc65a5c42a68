#pragma once

#include <string>
#include <vector>

// True when `a` comes before `b` in natural order: runs of digits compare
// by their value ("name2" before "name10"), other bytes as they are.
bool NaturalLess(const std::string& a, const std::string& b);

// The image files the arguments stand for, in argument order: a file as
// itself, a folder as its *.bmp and *.png files (any case) in natural order.
// `emptyFolders` gets the folders that hold no image.
std::vector<std::string> ExpandImageArguments(const std::vector<std::string>& args,
                                              std::vector<std::string>& emptyFolders);
