#include "toolkit/widgets/file_dialog_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/widgets/file_dialog.h"
#include "toolkit/widgets/folder_dialog.h"

namespace {

using namespace std::string_literals;

TEST(FileDialogText, FilterList) {
  struct TCase {
    std::string Filter;
    std::string List;  // without the string's own terminating NUL
  } cases[] = {
      {"Bitmaps (*.bmp)|*.bmp", "Bitmaps (*.bmp)\0*.bmp\0"s},
      {"A|*.a|B|*.b;*.c", "A\0*.a\0B\0*.b;*.c\0"s},
      {"|Odd|*.x", "|Odd\0*.x\0"s},  // a leading bar is text
      {"A|*.a|", "A\0*.a\0\0"s},
      {"", ""},
  };
  for (const TCase& c : cases) {
    std::string list = FilterList(c.Filter);
    EXPECT_EQ(list, c.List) << c.Filter;
    EXPECT_EQ(list.c_str()[list.size()], '\0') << "the second NUL of the end";
  }
}

TEST(FileDialogText, NameBufferCutsTheStartNameToFit) {
  // A single name's buffer holds MAX_PATH characters of three bytes each.
  std::string longName(800, 'n');
  struct TCase {
    std::string Name;
    size_t Size;
    size_t Kept;
  } cases[] = {
      {"start.bmp", kSingleNameBufferSize, 9},
      {longName, kSingleNameBufferSize, 780},
      {std::string(780, 'n'), kSingleNameBufferSize, 780},
      {longName, kMultiNameBufferSize, 800},
      {"", kSingleNameBufferSize, 0},
  };
  for (const TCase& c : cases) {
    std::vector<char> buffer = NameBuffer(c.Name, c.Size);
    ASSERT_EQ(buffer.size(), c.Size);
    EXPECT_EQ(BufferText(buffer), c.Name.substr(0, c.Kept));
    EXPECT_EQ(buffer.back(), '\0');
  }
  EXPECT_EQ(BufferText(std::vector<char>{'a', 'b'}), "ab") << "no NUL: the whole buffer";
}

TEST(FileDialogText, JoinSelectionSeparatesWithCr) {
  struct TCase {
    std::string Returned;
    std::string Joined;
  } cases[] = {
      {"C:\\dir\0a.txt\0b.txt\0\0"s, "C:\\dir\ra.txt\rb.txt"},
      {"C:\\dir\\a.txt\0\0"s, "C:\\dir\\a.txt"},  // one file: its full name
      {"\0\0"s, ""},
      {"\0x\0\0"s, ""},  // nothing chosen stays nothing
  };
  for (const TCase& c : cases) {
    std::vector<char> buffer(c.Returned.begin(), c.Returned.end());
    buffer.resize(buffer.size() + 8, '\0');
    JoinSelection(buffer);
    EXPECT_EQ(BufferText(buffer), c.Joined);
  }
  std::vector<char> full = {'a', '\0', 'b'};  // no end mark: stops at the end
  JoinSelection(full);
  EXPECT_EQ(BufferText(full), "a\rb");
}

TEST(DialogOptions, TranslateToSystemFlags) {
  EXPECT_EQ(FileDialogFlags(kDefaultFileOptions), 0x281806u);
  EXPECT_EQ(kDefaultFileOptions, 0x060C);
  const uint32_t fileFlags[] = {0x2000,  0x0400, 0x1000, 0x0004, 0x0008, 0x100000, 0x0200,
                                0x20000, 0x8000, 0x0002, 0x0800, 0x0001, 0x0100};
  for (int bit = 0; bit < 13; ++bit) {
    EXPECT_EQ(FileDialogFlags(static_cast<uint16_t>(1u << bit)), 0x280000u | fileFlags[bit])
        << "bit " << bit;
  }
  EXPECT_EQ(FileDialogFlags(0xE000), 0x280000u) << "bits beyond the 13 options";

  EXPECT_EQ(FolderDialogFlags(kDefaultFolderOptions), 0x0001u) << "BIF_RETURNONLYFSDIRS";
  const uint32_t folderFlags[] = {0x1000, 0x2000, 0x0002, 0x0008, 0x0001, 0x0004};
  for (int bit = 0; bit < 6; ++bit) {
    EXPECT_EQ(FolderDialogFlags(static_cast<uint8_t>(1u << bit)), folderFlags[bit]) << bit;
  }
}

TEST(DialogOptions, EmptyOptionsSelectTheDefaults) {
  TFileDialog* file = MakeFileDialog("", "", 0);
  EXPECT_EQ(file->OptionSet, kDefaultFileOptions);
  EXPECT_TRUE(file->ForOpening);
  EXPECT_EQ(file->FilterChoice, 0);
  EXPECT_EQ(file->OwnerWindow, nullptr);
  TFileDialog* titled = MakeFileDialog("Pick", "C:\\", kFileAllowMultiSelect);
  EXPECT_EQ(titled->OptionSet, kFileAllowMultiSelect);
  EXPECT_EQ(titled->DialogTitle, "Pick");
  EXPECT_EQ(titled->StartFolder, "C:\\");
  TFolderDialog* folder = MakeFolderDialog("", 0);
  EXPECT_EQ(folder->OptionSet, kDefaultFolderOptions);
  EXPECT_EQ(folder->Callback, nullptr);
  EXPECT_EQ(ChosenFolder(folder), "");
  SetStartFolder(folder, "");
  EXPECT_EQ(folder->Callback, &BrowseCallback) << "installed even for an empty folder";
  Free(file);
  Free(titled);
  Free(folder);
}

}  // namespace
