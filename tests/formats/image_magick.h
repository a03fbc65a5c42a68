#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/test_files.h"

// What ImageMagick, a reader independent of the writers, decodes from an
// image file. Under Wine the Linux program runs as a child process too.
struct TDecodedImage {
  bool Read = false;
  // One line per frame: "width height delay dispose", delay in hundredths.
  std::vector<std::string> Frames;
  TBytes Rgba;          // every frame in turn, 4 bytes a pixel, top row first
  std::string Verbose;  // identify -verbose: chunks, colour table, loop count
};

// Decodes `fileName`, a file of `folder` (relative names keep Windows paths
// away from the Linux program).
TDecodedImage DecodeWithImageMagick(const std::string& folder, const std::string& fileName);
