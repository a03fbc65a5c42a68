#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/test_files.h"
#include "viewer_driver.h"
#include "viewer_files.h"

using TNamedFiles = std::vector<std::pair<std::string, TBytes>>;

// A working folder with two palettes (Amber.pal, Sea.pal) and three sprites
// (tank.shp, my.unit.shp, empty.shp), and the program started in it.
class TViewerE2E : public ::testing::Test {
 protected:
  void SetUp() override;

  void Start();
  std::string MakeFolder(const std::string& name) const;
  HWND Row(TViewerRow row) const { return viewer_->Row(row); }

  // Clicks the sprite's line and waits for its frames.
  void ChooseSprite(const std::string& line, size_t frames);
  // Clicks a frame line and waits until it is the current one.
  void ChooseFrame(int line);
  // The files shp2bmp writes for the sprite in the palette, by name.
  TNamedFiles Converted(const std::string& sprite, const std::string& palette,
                        const std::string& frames = "");
  // Waits until the folder holds the files, then compares them byte for
  // byte.
  void ExpectSameFiles(const std::string& folder, const TNamedFiles& expected);

  TTempDir dir_;
  std::string folder_;
  std::unique_ptr<TViewerRun> viewer_;
};
