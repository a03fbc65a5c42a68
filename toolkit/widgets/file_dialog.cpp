// The open and save file dialogs.
#include "toolkit/widgets/file_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <iterator>

#include "toolkit/base/system_text.h"
#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/file_dialog_text.h"

namespace {

// OFN_* flag of each OptionSet bit, lowest bit first.
constexpr uint32_t kOptionFlags[] = {
    OFN_CREATEPROMPT,     OFN_EXTENSIONDIFFERENT, OFN_FILEMUSTEXIST,    OFN_HIDEREADONLY,
    OFN_NOCHANGEDIR,      OFN_NODEREFERENCELINKS, OFN_ALLOWMULTISELECT, OFN_NONETWORKBUTTON,
    OFN_NOREADONLYRETURN, OFN_OVERWRITEPROMPT,    OFN_PATHMUSTEXIST,    OFN_READONLY,
    OFN_NOVALIDATE,
};

const char* TextOrNone(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}

HWND DialogOwner(HWND chosen) {
  if (chosen) return chosen;
  return MainWidget ? MainWidget->Window : nullptr;
}

}  // namespace

TFileDialog* MakeFileDialog(const char* title, const char* startFolder, uint16_t options) {
  auto* dialog = new TFileDialog;
  dialog->DialogTitle = title ? title : "";
  dialog->StartFolder = startFolder ? startFolder : "";
  dialog->OptionSet = options ? options : kDefaultFileOptions;
  return dialog;
}

uint32_t FileDialogFlags(uint16_t optionSet) {
  uint32_t flags = OFN_EXPLORER | OFN_LONGNAMES;
  for (size_t bit = 0; bit < std::size(kOptionFlags); ++bit) {
    if (optionSet & (1u << bit)) flags |= kOptionFlags[bit];
  }
  return flags;
}

bool ShowDialog(TFileDialog* dialog) {
  uint32_t flags = FileDialogFlags(dialog->OptionSet);
  bool multiple = (flags & OFN_ALLOWMULTISELECT) != 0;
  std::vector<char> names =
      NameBuffer(dialog->ChosenPath, multiple ? kMultiNameBufferSize : kSingleNameBufferSize);
  std::string filter = FilterList(SystemText(dialog->FilterSpec));
  std::string title = SystemText(dialog->DialogTitle);

  OPENFILENAMEA info{};
  // The layout without the later extension fields.
  info.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  info.hwndOwner = DialogOwner(dialog->OwnerWindow);
  info.hInstance = GetModuleHandleA(nullptr);
  info.lpstrFilter = TextOrNone(filter);
  info.nFilterIndex = static_cast<DWORD>(std::max(dialog->FilterChoice, 0));
  info.lpstrFile = names.data();
  info.nMaxFile = static_cast<DWORD>(names.size());
  info.lpstrInitialDir = TextOrNone(dialog->StartFolder);
  info.lpstrTitle = TextOrNone(title);
  info.Flags = flags;
  info.lpstrDefExt = dialog->FallbackExtension.c_str();
  info.lCustData = reinterpret_cast<LPARAM>(dialog);

  // The dialog's loop dispatches messages that might free the owner, and
  // the dialog object with it: the hold keeps it until the answer is stored.
  AddRef(dialog);
  bool confirmed = dialog->ForOpening ? GetOpenFileNameA(&info) : GetSaveFileNameA(&info);
  if (confirmed) {
    dialog->FilterChoice = static_cast<int32_t>(info.nFilterIndex);
    if (multiple) JoinSelection(names);
    dialog->ChosenPath = BufferText(names);
  } else {
    dialog->ChosenPath.clear();
  }
  ReleaseRef(dialog);
  return confirmed;
}
