// The shell's browse-for-folder dialog.
#include "toolkit/widgets/folder_dialog.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "toolkit/base/system_text.h"
#include "toolkit/widgets/dispatch.h"

namespace {

// BIF_* flag of each OptionSet bit, lowest bit first.
constexpr uint32_t kOptionFlags[] = {
    BIF_BROWSEFORCOMPUTER, BIF_BROWSEFORPRINTER, BIF_DONTGOBELOWDOMAIN,
    BIF_RETURNFSANCESTORS, BIF_RETURNONLYFSDIRS, BIF_STATUSTEXT,
};

HWND DialogOwner(HWND chosen) {
  if (chosen) return chosen;
  return MainWidget ? MainWidget->Window : nullptr;
}

// The chosen folder's path, or, for an item without a file-system path,
// the display name the dialog wrote. The path comes through the wide call:
// the ANSI one holds it in MAX_PATH bytes, too few for a long path in UTF-8.
void StoreChoice(TFolderDialog* dialog, PCIDLIST_ABSOLUTE item, const char* displayName) {
  wchar_t path[MAX_PATH + 1] = {};
  std::string chosen = SHGetPathFromIDListW(item, path) ? SystemFromWide(path) : displayName;
  size_t length = std::min(chosen.size(), kFolderPathSize - 1);
  std::memcpy(dialog->PathBuffer, chosen.data(), length);
  dialog->PathBuffer[length] = '\0';
}

}  // namespace

TFolderDialog* MakeFolderDialog(const char* title, uint8_t options) {
  auto* dialog = new TFolderDialog;
  dialog->DialogTitle = title ? title : "";
  dialog->OptionSet = options ? options : kDefaultFolderOptions;
  return dialog;
}

uint32_t FolderDialogFlags(uint8_t optionSet) {
  uint32_t flags = 0;
  for (size_t bit = 0; bit < std::size(kOptionFlags); ++bit) {
    if (optionSet & (1u << bit)) flags |= kOptionFlags[bit];
  }
  return flags;
}

void SetStartFolder(TFolderDialog* dialog, const char* path) {
  dialog->StartFolder = path ? path : "";
  dialog->Callback = &BrowseCallback;
}

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM data) {
  auto* dialog = reinterpret_cast<TFolderDialog*>(data);
  if (message == BFFM_INITIALIZED && !dialog->StartFolder.empty()) {
    SendMessageA(window, BFFM_SETSELECTIONA, TRUE,
                 reinterpret_cast<LPARAM>(dialog->StartFolder.c_str()));
  }
  return 0;
}

bool ShowDialog(TFolderDialog* dialog) {
  // The display name goes to a buffer of its own: the system may write it
  // even when the user cancels (Wine does), and PathBuffer must keep the
  // previous choice then.
  char displayName[kFolderPathSize] = {};
  BROWSEINFOA info{};
  info.hwndOwner = DialogOwner(dialog->OwnerWindow);
  info.pszDisplayName = displayName;
  std::string title = SystemText(dialog->DialogTitle);
  info.lpszTitle = title.empty() ? nullptr : title.c_str();
  info.ulFlags = FolderDialogFlags(dialog->OptionSet);
  info.lpfn = dialog->Callback;
  info.lParam = reinterpret_cast<LPARAM>(dialog);

  // The dialog's loop dispatches messages that might free the owner, and
  // the dialog object with it.
  AddRef(dialog);
  PIDLIST_ABSOLUTE item = SHBrowseForFolderA(&info);
  bool confirmed = item != nullptr;
  if (confirmed) {
    StoreChoice(dialog, item, displayName);
    CoTaskMemFree(item);
  }
  ReleaseRef(dialog);
  return confirmed;
}

std::string ChosenFolder(const TFolderDialog* dialog) {
  const char* text = dialog->PathBuffer;
  return std::string(text, strnlen(text, kFolderPathSize));
}
