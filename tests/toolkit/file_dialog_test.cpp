#include "toolkit/widgets/file_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win32/dialog_driver.h"
#include "gui_fixture.h"
#include "support/test_files.h"

namespace {

using TLog = std::vector<std::string>;

// Controls of the explorer-style file dialog.
constexpr int kFileTypeBox = 0x470;  // cmb1
constexpr int kFileNameBox = 0x47C;  // cmb13

std::string ItemText(HWND dialog, int id) {
  char text[1024] = {};
  GetDlgItemTextA(dialog, id, text, sizeof(text));
  return text;
}

TLog ComboItems(HWND combo) {
  TLog items;
  auto count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char text[256] = {};
    SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  return items;
}

std::string Lower(std::string text) {
  CharLowerA(text.data());
  return text;
}

// What the test saw in the dialog when it came up.
struct TSeen {
  HWND Dialog = nullptr;
  std::string Caption;
  HWND Owner = nullptr;
  std::string FileName;
  TLog FileTypes;
  LRESULT FileType = -1;
};

TSeen LookAt(HWND dialog) {
  TSeen seen;
  seen.Dialog = dialog;
  seen.Caption = TextOf(dialog);
  seen.Owner = GetWindow(dialog, GW_OWNER);
  seen.FileName = ItemText(dialog, kFileNameBox);
  HWND types = GetDlgItem(dialog, kFileTypeBox);
  seen.FileTypes = ComboItems(types);
  seen.FileType = SendMessageA(types, CB_GETCURSEL, 0, 0);
  return seen;
}

HWND AnyDialog() {
  return FindDialog();
}

// Looks at the dialog, types a name and confirms.
void TypeAndConfirm(TSeen* seen, const std::string& name) {
  WhenFound("file dialog", &AnyDialog, [=](HWND dialog) {
    *seen = LookAt(dialog);
    SetDlgItemTextA(dialog, kFileNameBox, name.c_str());
    PressButton(dialog, IDOK);
  });
}

class TFileDialogTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    savedDir_ = current;
    DriverMisses.clear();
    form_ = Keep(MakeForm(nullptr, "Main"));
    GetHandle(form_);
    MainWidget = form_;
    // Set up as the program's save dialog.
    dialog_ = MakeFileDialog("", "", 0);
    OwnObject(form_, dialog_);
    dialog_->FilterSpec = "Bitmaps (*.bmp)|*.bmp";
    dialog_->ForOpening = false;
    dialog_->FallbackExtension = "bmp";
    dialog_->StartFolder = Folder();
  }

  void TearDown() override {
    // Without OFN_NOCHANGEDIR the dialog moves the current folder (Wine even
    // on Cancel); the temporary folder must not stay current.
    SetCurrentDirectoryA(savedDir_.c_str());
    GuiTest::TearDown();
  }

  std::string Folder() const { return dir_.Path().string(); }
  std::string InFolder(const std::string& name) const { return Lower(dir_.File(name)); }

  TTempDir dir_;
  std::string savedDir_;
  TWidget* form_ = nullptr;
  TFileDialog* dialog_ = nullptr;
};

TEST_F(TFileDialogTest, SaveDialogStartsInTheFolderAndAppendsTheExtension) {
  dialog_->ChosenPath = "start";
  TSeen seen;
  TypeAndConfirm(&seen, "picture");
  EXPECT_TRUE(ShowDialog(dialog_));
  EXPECT_EQ(DriverMisses, TLog{});
  EXPECT_EQ(Lower(dialog_->ChosenPath), InFolder("picture.bmp"));
  EXPECT_EQ(dialog_->FilterChoice, 1);
  EXPECT_EQ(seen.FileName, "start") << "the start name";
  EXPECT_EQ(seen.FileTypes, (TLog{"Bitmaps (*.bmp)"}));
  EXPECT_FALSE(seen.Caption.empty()) << "the system's own caption";
  EXPECT_EQ(seen.Owner, form_->Window) << "the main widget's window by default";
}

TEST_F(TFileDialogTest, OverwritingAnExistingFileIsAskedFirst) {
  WriteFileBytes(dir_.File("old.bmp"), {1, 2, 3});
  for (int answer : {IDYES, IDNO}) {
    SCOPED_TRACE(answer);
    DriverMisses.clear();
    dialog_->ChosenPath.clear();
    TSeen seen;
    bool asked = false;
    TypeAndConfirm(&seen, "old");  // the extension is added before the check
    auto isPrompt = [&seen](HWND window) {
      return window != seen.Dialog && GetDlgItem(window, IDYES) != nullptr;
    };
    WhenFound(
        "overwrite prompt", [=] { return FindDialog(isPrompt); },
        [&, answer, isPrompt](HWND prompt) {
          asked = true;
          PressButton(prompt, answer);
          if (answer == IDYES) return;
          // "No" goes back to the file dialog, which the user then cancels.
          WhenFound(
              "file dialog after the prompt",
              [=] { return FindDialog(isPrompt) ? nullptr : seen.Dialog; },
              [](HWND dialog) { PressButton(dialog, IDCANCEL); });
        });
    bool confirmed = ShowDialog(dialog_);
    EXPECT_EQ(DriverMisses, TLog{});
    EXPECT_TRUE(asked);
    EXPECT_EQ(confirmed, answer == IDYES);
    EXPECT_EQ(Lower(dialog_->ChosenPath), answer == IDYES ? InFolder("old.bmp") : "");
  }
  EXPECT_EQ(ReadFileBytes(dir_.File("old.bmp")), (TBytes{1, 2, 3})) << "the dialog only asks";
}

TEST_F(TFileDialogTest, CancelLeavesNoPath) {
  dialog_->ChosenPath = "keep.bmp";
  dialog_->FilterChoice = 1;
  WhenFound("file dialog", &AnyDialog, [](HWND dialog) { PressButton(dialog, IDCANCEL); });
  EXPECT_FALSE(ShowDialog(dialog_));
  EXPECT_EQ(DriverMisses, TLog{});
  EXPECT_EQ(dialog_->ChosenPath, "");
  EXPECT_EQ(dialog_->FilterChoice, 1);
}

TEST_F(TFileDialogTest, FilterTitleAndOwnerAreTheDialogsOwn) {
  TWidget* other = Keep(MakeForm(nullptr, "Other"));
  dialog_->OwnerWindow = GetHandle(other);
  dialog_->FilterSpec = "|Odd (*.txt)|*.txt|Bitmaps (*.bmp)|*.bmp";
  dialog_->FilterChoice = 2;
  dialog_->DialogTitle = "Export frame";
  TSeen seen;
  TypeAndConfirm(&seen, "shot.bmp");
  EXPECT_TRUE(ShowDialog(dialog_));
  EXPECT_EQ(DriverMisses, TLog{});
  EXPECT_EQ(seen.FileTypes, (TLog{"|Odd (*.txt)", "Bitmaps (*.bmp)"})) << "a leading bar stays";
  EXPECT_EQ(seen.FileType, 1) << "the second filter preselected";
  EXPECT_EQ(seen.Caption, "Export frame");
  EXPECT_EQ(seen.Owner, other->Window);
  EXPECT_EQ(dialog_->FilterChoice, 2);
  EXPECT_EQ(Lower(dialog_->ChosenPath), InFolder("shot.bmp"));
}

TEST_F(TFileDialogTest, ALongStartNameIsCutToTheBuffer) {
  dialog_->ChosenPath = std::string(800, 'n');
  TSeen seen;
  WhenFound("file dialog", &AnyDialog, [&](HWND dialog) {
    seen = LookAt(dialog);
    PressButton(dialog, IDCANCEL);
  });
  EXPECT_FALSE(ShowDialog(dialog_));
  EXPECT_EQ(DriverMisses, TLog{});
  EXPECT_EQ(seen.FileName, std::string(780, 'n'));
}

// In UTF-8 a long Cyrillic path takes far more than MAX_PATH bytes.
TEST_F(TFileDialogTest, ALongCyrillicPathComesBackWhole) {
  std::string folder = CyrillicPath(Folder(), 110);
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  std::string path = CyrillicPath(folder, 196) + ".bmp";
  ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0), 201);
  dialog_->StartFolder = folder;
  TSeen seen;
  TypeAndConfirm(&seen, path.substr(folder.size() + 1));
  EXPECT_TRUE(ShowDialog(dialog_));
  EXPECT_EQ(DriverMisses, TLog{});
  EXPECT_EQ(Lower(dialog_->ChosenPath), Lower(path));
}

TEST_F(TFileDialogTest, MultipleSelectionJoinsTheNamesWithCr) {
  for (const char* name : {"a.txt", "b.txt", "c.txt"})
    WriteFileBytes(dir_.File(name), {1});
  dialog_->ForOpening = true;
  dialog_->OptionSet = kDefaultFileOptions | kFileAllowMultiSelect;
  dialog_->FilterSpec = "Text (*.txt)|*.txt";
  struct TCase {
    const char* Typed;
    std::string Expected;
  } cases[] = {
      {"\"a.txt\" \"c.txt\"", Lower(Folder()) + "\ra.txt\rc.txt"},
      {"b.txt", InFolder("b.txt")},  // one name comes back whole
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Typed);
    DriverMisses.clear();
    dialog_->ChosenPath.clear();
    dialog_->StartFolder = Folder();
    TSeen seen;
    TypeAndConfirm(&seen, c.Typed);
    EXPECT_TRUE(ShowDialog(dialog_));
    EXPECT_EQ(DriverMisses, TLog{});
    EXPECT_EQ(Lower(dialog_->ChosenPath), c.Expected);
  }
}

}  // namespace
