// The check box: an automatic check box button; its state lives in the
// window, which reading or setting it creates, as item operations do.
#include "toolkit/widgets/check_box.h"

#include "toolkit/widgets/dispatch.h"

namespace {

constexpr uint32_t kCheckBoxStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;

}  // namespace

TWidget* MakeCheckBox(TWidget* parent, const char* caption) {
  TWidget* box = MakeControl(parent, "BUTTON", kCheckBoxStyle, ButtonKindTable(), false);
  box->Bounds.right = box->Bounds.left + 120;
  box->Bounds.bottom = box->Bounds.top + 20;
  SetText(box, caption);
  return box;
}

bool IsChecked(TWidget* box) {
  return SendToWidget(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(TWidget* box, bool checked) {
  SendToWidget(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}
