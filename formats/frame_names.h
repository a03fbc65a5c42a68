#pragma once

#include <cstdint>
#include <string>

// Texts the viewer builds from a sprite's name and its frame numbers.
// Frame numbers are 1-based; 0 stands for "no frame".

// The number padded with "0" to at least three digits: 1 gives "001",
// 1000 gives "1000".
std::string FrameNumberText(int32_t number);

// A line of the frame list: "001 : unit001" for frame 1 of unit.shp, the
// number and then the name the frame is saved under.
std::string FrameLine(const std::string& spriteName, int32_t number);

// The name a frame is exported under: "unit001.bmp".
std::string FrameFileName(const std::string& spriteName, int32_t number);

// `folder`, the separator and `name`: the one path joiner. The separator is
// added even after a folder that ends in one, so a drive root such as "D:\"
// gets a second backslash, which the file system accepts.
std::string InFolder(const std::string& folder, const std::string& name, char separator = '\\');
