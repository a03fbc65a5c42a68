#pragma once

#include <string>

#include "format_shp/shp.h"
#include "toolkit/base/scoped_object.h"
#include "support/shp_writer.h"
#include "support/test_files.h"

// Writes `file` as `name` in `dir` and loads it into `shp`.
inline void LoadBytes(TShp* shp, const TTempDir& dir, const TBytes& file,
                      const std::string& name = "unit.shp") {
  WriteFileBytes(dir.File(name), file);
  shp->LoadShpFile(dir.File(name).c_str());
}

// The bytes of a frame's canvas; empty without one.
inline TBytes CanvasBytes(const TShpSprite* frame) {
  if (!frame || !frame->Canvas || !frame->Canvas->Block) return {};
  return TBytes(frame->Canvas->Block, frame->Canvas->Block + frame->Canvas->Size);
}
