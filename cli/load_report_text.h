#pragma once

#include <string>
#include <vector>

#include "format_shp/shp.h"

// Why the converter cannot convert a loaded sprite, or empty when it can:
// the file was refused, or its frame table runs past its end.
std::string LoadFailureText(const TShp& sprite);

// One line per kind of repair the load made.
std::vector<std::string> RepairTexts(const TShp& sprite);

// The same for the report of a sprite of a width x height box.
std::string LoadFailureText(const TShpLoadReport& report, uint16_t width, uint16_t height);
std::vector<std::string> RepairTexts(const TShpLoadReport& report, uint16_t width, uint16_t height);
