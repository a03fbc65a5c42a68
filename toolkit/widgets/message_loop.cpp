// The message loops: the main loop that lives as long as the main window and
// the nested loop of a modal form, both on the one GUI thread.
#include "toolkit/widgets/message_loop.h"

#include <vector>

#include "toolkit/widgets/dispatch.h"

uint8_t RunDepth = 0;
bool QuitRequested = false;

namespace {

// Widgets a modal loop disabled, held so that they are still there to be
// enabled again whatever the loop's handlers free.
std::vector<TWidget*> DisableOthers(TWidget* form) {
  std::vector<TWidget*> disabled;
  if (!MainWidget) return disabled;
  TPtrList* children = MainWidget->Children;
  for (int32_t i = 0; i < children->Count; ++i) {
    auto* child = static_cast<TWidget*>(children->ItemAt(i));
    if (child == form || !IsEnabled(child)) continue;
    SetEnabled(child, false);
    AddRef(child);
    disabled.push_back(child);
  }
  return disabled;
}

void EnableAgain(const std::vector<TWidget*>& disabled) {
  for (TWidget* widget : disabled) {
    SetEnabled(widget, true);
    ReleaseRef(widget);
  }
}

}  // namespace

bool PumpOneMessage(TWidget*) {
  MSG message;
  if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
  if (message.message == WM_QUIT) QuitRequested = true;
  TranslateMessage(&message);
  DispatchMessageA(&message);
  return message.message != 0;
}

void WaitAndPump(TWidget* mainWidget) {
  WaitMessage();
  while (PumpOneMessage(mainWidget)) {
  }
}

void RunMainLoop(TWidget*& mainForm) {
  ++RunDepth;
  MainWidget = mainForm;
  mainForm->CreateWindowHandle();
  while (!QuitRequested)
    WaitAndPump(MainWidget);
  EndMainLoop(mainForm);
}

void EndMainLoop(TWidget*& mainForm) {
  QuitRequested = true;
  RunDepth = 0;
  TWidget* form = MainWidget;
  if (!form) {
    mainForm = nullptr;
    return;
  }
  MainWidget = nullptr;
  if (form->Window) SendMessageA(form->Window, WM_CLOSE, 0, 0);
  mainForm = nullptr;
  Free(form);
}

bool ModalCloseHandler(TWidget* widget, TMessage& message, LRESULT& result) {
  if (message.Message != WM_CLOSE) return false;
  widget->ModalOutcome = -1;
  result = 0;
  return true;
}

void RunModal(TWidget* form) {
  if (!form->Parent || form->IsChildControl) {
    Show(form);
    return;
  }
  TWidget* focused = MainWidget ? MainWidget->FocusedChild : nullptr;
  if (focused) AddRef(focused);
  AddRef(form);
  AttachHandler(form, &ModalCloseHandler);
  form->ModalOutcome = 0;
  std::vector<TWidget*> disabled = DisableOthers(form);
  Show(form);
  while (!QuitRequested && form->ModalOutcome == 0)
    WaitAndPump(MainWidget);
  DetachHandler(form, &ModalCloseHandler);
  ReleaseRef(form);
  EnableAgain(disabled);
  if (focused) {
    if (focused->Window) SetFocus(focused->Window);
    ReleaseRef(focused);
  }
}
