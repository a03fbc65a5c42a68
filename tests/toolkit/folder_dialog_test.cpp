#include "toolkit/widgets/folder_dialog.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "win32/dialog_driver.h"
#include "gui_fixture.h"

namespace {

using TLog = std::vector<std::string>;

std::string Lower(std::string text) {
  CharLowerA(text.data());
  return text;
}

// Folders of the prefix's drive whose access times have long settled: the
// folder tree cannot preselect one whose time changes while it opens.
std::string WindowsFolder() {
  char path[MAX_PATH] = {};
  GetWindowsDirectoryA(path, MAX_PATH);
  return path;
}

HWND AnyDialog() {
  return FindDialog();
}

void Confirm(HWND dialog) {
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

class TFolderDialogTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    DriverMisses.clear();
    form_ = Keep(MakeForm(nullptr, "Main"));
    GetHandle(form_);
    MainWidget = form_;
    dialog_ = MakeFolderDialog("", 0);
    OwnObject(form_, dialog_);
  }

  TWidget* form_ = nullptr;
  TFolderDialog* dialog_ = nullptr;
};

TEST_F(TFolderDialogTest, TheStartFolderIsPreselectedAndChosen) {
  dialog_->DialogTitle = "Where do the frames go?";
  for (std::string start : {WindowsFolder(), WindowsFolder() + "\\system32"}) {
    SCOPED_TRACE(start);
    DriverMisses.clear();
    SetStartFolder(dialog_, start.c_str());
    bool titled = false;
    HWND owner = nullptr;
    WhenFound("folder dialog", &AnyDialog, [&](HWND dialog) {
      titled = HasChildText(dialog, "Where do the frames go?");
      owner = GetWindow(dialog, GW_OWNER);
      Confirm(dialog);
    });
    EXPECT_TRUE(ShowDialog(dialog_));
    EXPECT_EQ(DriverMisses, TLog{});
    EXPECT_EQ(Lower(ChosenFolder(dialog_)), Lower(start));
    EXPECT_TRUE(titled);
    EXPECT_EQ(owner, form_->Window) << "the main widget's window by default";
  }
}

// In UTF-8 a long Cyrillic path takes far more than MAX_PATH bytes.
TEST_F(TFolderDialogTest, ALongCyrillicPathIsChosenWhole) {
  std::string outer = CyrillicPath(WindowsFolder(), 110);
  std::string inner = CyrillicPath(outer, 200);
  ASSERT_TRUE(CreateDirectoryA(outer.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  ASSERT_TRUE(CreateDirectoryA(inner.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  // Read once, the new folders' access times settle before the tree opens.
  for (const std::string& folder : {WindowsFolder(), outer, inner}) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    while (search != INVALID_HANDLE_VALUE && FindNextFileA(search, &found)) {
    }
    FindClose(search);
  }
  SetStartFolder(dialog_, inner.c_str());
  WhenFound("folder dialog", &AnyDialog, &Confirm);
  bool confirmed = ShowDialog(dialog_);
  RemoveDirectoryA(inner.c_str());
  RemoveDirectoryA(outer.c_str());
  EXPECT_TRUE(confirmed);
  EXPECT_EQ(DriverMisses, TLog{});
  EXPECT_EQ(Lower(ChosenFolder(dialog_)), Lower(inner));
}

// Wine's SHBrowseForFolderA writes its display-name buffer on Cancel too
// (with whatever its own copy held); Windows leaves it alone.
TEST_F(TFolderDialogTest, CancelKeepsThePathBuffer) {
  SetStartFolder(dialog_, WindowsFolder().c_str());
  std::strcpy(dialog_->PathBuffer, "C:\\before");
  WhenFound("folder dialog", &AnyDialog,
            [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
  EXPECT_FALSE(ShowDialog(dialog_));
  EXPECT_EQ(DriverMisses, TLog{});
  EXPECT_EQ(ChosenFolder(dialog_), "C:\\before");
}

TEST_F(TFolderDialogTest, AnEmptyStartFolderLeavesTheTreeAtItsRoot) {
  SetStartFolder(dialog_, "");
  WhenFound("folder dialog", &AnyDialog, &Confirm);
  EXPECT_TRUE(ShowDialog(dialog_));
  EXPECT_EQ(DriverMisses, TLog{});
  // The root is the Desktop, whose folder is the user's desktop folder.
  char desktop[MAX_PATH] = {};
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop), S_OK);
  EXPECT_EQ(Lower(ChosenFolder(dialog_)), Lower(desktop));
}

TEST_F(TFolderDialogTest, AFolderWithoutAPathGivesItsDisplayName) {
  dialog_->OptionSet = kFolderStatusText;  // file-system folders not required
  std::strcpy(dialog_->PathBuffer, "C:\\before");
  PIDLIST_ABSOLUTE computer = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer), S_OK);
  WhenFound("folder dialog", &AnyDialog, [=](HWND dialog) {
    SendMessageA(dialog, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(computer));
    Confirm(dialog);
  });
  EXPECT_TRUE(ShowDialog(dialog_)) << "confirmed, although there is no path";
  CoTaskMemFree(computer);
  EXPECT_EQ(DriverMisses, TLog{});
  // Windows writes the folder's display name ("This PC"); Wine writes the
  // path into the display name, and so nothing for a folder without one.
  std::string name = ChosenFolder(dialog_);
  EXPECT_NE(name, "C:\\before");
  EXPECT_EQ(name.find_first_of(":\\"), std::string::npos) << name << ": a name, not a path";
}

}  // namespace
