#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/main_unit.h"
#include "support/test_files.h"
#include "toolkit/gui_fixture.h"
#include "viewer_driver.h"
#include "viewer_files.h"

// A fresh working folder that the test fills, with the main window built
// in it in-process, as the program builds it.
class TViewerTest : public GuiTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The working folder, as the system reports it.
  const std::string& Folder() const { return folder_; }
  // A new empty folder inside the working one.
  std::string MakeFolder(const std::string& name) const;
  // The two palettes (Amber.pal, Sea.pal) and three sprites (tank.shp,
  // my.unit.shp, empty.shp).
  void PutStandardFiles() const;
  // Builds the main window and shows it as the main loop would.
  TMainWindow* Build();

  // Makes line `index` of the sprite list current and runs its event.
  void ChooseSprite(const std::string& line);
  // Selects exactly these frame lines, the caret on the last, and runs the
  // frame list's event.
  void ChooseFrames(const std::vector<int>& lines);
  std::vector<std::string> Lines(TWidget* list) const;
  std::vector<int> SelectedLines(TWidget* list) const;

  TMainWindow* main_ = nullptr;
  std::string folder_;

 private:
  TWorkingFolder working_;
};

using TNamedFiles = std::vector<std::pair<std::string, TBytes>>;

// The same folder with the standard files, and the real program started in
// it and driven from outside.
class TViewerE2E : public TViewerTest {
 protected:
  void SetUp() override;

  void Start();
  // Another link of the program.
  void Start(const std::string& program);
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

  std::unique_ptr<TViewerRun> viewer_;
};
