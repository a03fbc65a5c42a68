#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/main_unit.h"
#include "support/test_files.h"
#include "toolkit/gui_fixture.h"
#include "viewer_files.h"

// The main window built in-process, as the program builds it, in a fresh
// working folder that the test fills first.
class TViewerTest : public GuiTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The working folder, as the system reports it.
  const std::string& Folder() const { return folder_; }
  // A new empty folder beside the working one.
  std::string MakeFolder(const std::string& name) const;
  // The two palettes and tank.shp, my.unit.shp, empty.shp.
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

 private:
  TTempDir dir_;
  std::string folder_;
  char previous_[MAX_PATH] = {};
};
