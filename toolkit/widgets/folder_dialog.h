#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "toolkit/base/base_object.h"

// OptionSet bits of a folder dialog, each standing for one BIF_* flag.
constexpr uint8_t kFolderBrowseForComputer = 1u << 0;
constexpr uint8_t kFolderBrowseForPrinter = 1u << 1;
constexpr uint8_t kFolderDontGoBelowDomain = 1u << 2;
constexpr uint8_t kFolderReturnFsAncestors = 1u << 3;
constexpr uint8_t kFolderReturnOnlyFsDirs = 1u << 4;
constexpr uint8_t kFolderStatusText = 1u << 5;
// What an empty option set stands for.
constexpr uint8_t kDefaultFolderOptions = kFolderReturnOnlyFsDirs;

// A path of MAX_PATH characters, each up to three bytes in UTF-8, and the NUL.
constexpr size_t kFolderPathSize = MAX_PATH * 3 + 1;

using TBrowseCallback = int(CALLBACK*)(HWND dialog, UINT message, LPARAM lParam, LPARAM data);

// The shell's browse-for-folder dialog with its settings, kept between
// showings. The program registers it with OwnObject on its main form.
class TFolderDialog : public TBaseObject {
 public:
  std::string DialogTitle;  // the program's own text above the folder tree; empty: none
  uint8_t OptionSet = kDefaultFolderOptions;
  TBrowseCallback Callback = nullptr;  // BrowseCallback once a start folder was set
  // The display name, then the chosen path (in the process's code page);
  // kept when the user cancels.
  char PathBuffer[kFolderPathSize] = {};
  std::string StartFolder;
  HWND OwnerWindow = nullptr;  // 0: the main widget's window
};

// Options 0 select kDefaultFolderOptions.
TFolderDialog* MakeFolderDialog(const char* title, uint8_t options);
// The dialog's BIF_* flags for an option set.
uint32_t FolderDialogFlags(uint8_t optionSet);
// The folder to preselect (none when empty); installs BrowseCallback.
void SetStartFolder(TFolderDialog* dialog, const char* path);
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data);
// Shows the dialog and waits; true when the user confirmed a folder.
bool ShowDialog(TFolderDialog* dialog);
// PathBuffer's text.
std::string ChosenFolder(const TFolderDialog* dialog);
