#pragma once

#include <string>

#include "cli/converter_options.h"

class TShpFrameStream;

// What shptool info prints for a sprite: a line for the sprite, then one
// for each listed frame with the fields of its header as stored.
std::string SpriteInfoText(const std::string& file, const TShpFrameStream& sprite,
                           const TFrameRanges& frames);
