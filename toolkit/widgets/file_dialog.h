#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "toolkit/base/base_object.h"

// OptionSet bits of a file dialog, each standing for one OFN_* flag.
constexpr uint16_t kFileCreatePrompt = 1u << 0;
constexpr uint16_t kFileExtensionDifferent = 1u << 1;
constexpr uint16_t kFileMustExist = 1u << 2;
constexpr uint16_t kFileHideReadOnly = 1u << 3;
constexpr uint16_t kFileNoChangeDir = 1u << 4;
constexpr uint16_t kFileNoDereferenceLinks = 1u << 5;
constexpr uint16_t kFileAllowMultiSelect = 1u << 6;
constexpr uint16_t kFileNoNetworkButton = 1u << 7;
constexpr uint16_t kFileNoReadOnlyReturn = 1u << 8;
constexpr uint16_t kFileOverwritePrompt = 1u << 9;
constexpr uint16_t kFilePathMustExist = 1u << 10;
constexpr uint16_t kFileReadOnly = 1u << 11;
constexpr uint16_t kFileNoValidate = 1u << 12;
// What an empty option set stands for.
constexpr uint16_t kDefaultFileOptions =
    kFileMustExist | kFileHideReadOnly | kFileOverwritePrompt | kFilePathMustExist;

// Buffer sizes of the chosen name(s), terminating NULs included: a path of
// MAX_PATH characters, each up to three bytes in UTF-8, and the NUL.
constexpr size_t kSingleNameBufferSize = MAX_PATH * 3 + 1;
constexpr size_t kMultiNameBufferSize = 65520;

// The open or save file dialog with its settings, kept between showings.
// The program registers it with OwnObject on its main form.
class TFileDialog : public TBaseObject {
 public:
  // "Name|pattern|Name|pattern"; empty: no filter. It and the title are the
  // program's own texts, the folder and names the system's (system_text.h).
  std::string FilterSpec;
  int32_t FilterChoice = 0;  // one-based; updated when the user confirms
  bool ForOpening = true;
  std::string StartFolder;
  std::string FallbackExtension;  // appended to a name typed without one
  // In: the name the dialog starts with. Out: the chosen name; with
  // multiple selection the folder and the names, separated by CR.
  std::string ChosenPath;
  std::string DialogTitle;  // empty: the system's caption
  uint16_t OptionSet = kDefaultFileOptions;
  HWND OwnerWindow = nullptr;  // 0: the main widget's window
};

// Options 0 select kDefaultFileOptions.
TFileDialog* MakeFileDialog(const char* title, const char* startFolder, uint16_t options);
// The dialog's OFN_* flags for an option set.
uint32_t FileDialogFlags(uint16_t optionSet);
// Shows the dialog and waits; true when the user confirmed. Cancel (or a
// failure) leaves ChosenPath empty.
bool ShowDialog(TFileDialog* dialog);
