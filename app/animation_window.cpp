// The animation window: the "Вид" menu that opens it, its form and
// controls, the keys and the mouse wheel, and what the main window tells it.
#include "app/animation_window.h"

#include <windows.h>

#include <iterator>
#include <string>
#include <vector>

#include "toolkit/widgets/check_box.h"
#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/layout.h"
#include "toolkit/widgets/list_controls.h"
#include "toolkit/widgets/menu.h"
#include "toolkit/widgets/scroll_box.h"

TAnimationWindow* AnimationWindow = nullptr;

namespace {

// Kept for the run: the window comes back with its last size and zoom.
std::string g_spriteFile;
RECT g_bounds = {0, 0, 0, 0};
int32_t g_zoomIndex = 1;  // 2x

const char* const kViewMenuTemplate[] = {"Анимация...", ""};
const char* const kZoomTexts[] = {"1x", "2x", "3x", "4x", "6x", "8x"};
constexpr int32_t kFontHeight = -11;
constexpr int32_t kControlsHeight = 88;
constexpr int32_t kFirstWidth = 480;
constexpr int32_t kFirstHeight = 400;

using TAction = void (*)(TAnimationWindow* window);

// Events of a window already gone do nothing.
template <TAction Action>
void RunAction(TAnimationWindow* window, TWidget*) {
  if (window == AnimationWindow) Action(window);
}

template <TAction Action>
TNotifyEvent On(TAnimationWindow* window) {
  return TNotifyEvent::Bind<&RunAction<Action>>(window);
}

std::string Title() {
  if (g_spriteFile.empty()) return "Анимация";
  size_t slash = g_spriteFile.find_last_of("\\/:");
  return "Анимация - " + g_spriteFile.substr(slash == std::string::npos ? 0 : slash + 1);
}

void StepBack(TAnimationWindow* window) {
  StepFrames(window, -1);
}

void StepOn(TAnimationWindow* window) {
  StepFrames(window, 1);
}

// The frames played follow the boxes; the frame shown stays if it is
// still among them.
void PlayChoiceChanged(TAnimationWindow* window) {
  RebuildPlayList(window, false);
}

void ZoomChosen(TAnimationWindow* window) {
  g_zoomIndex = CurrentIndex(window->ZoomBox);
  ShowPosition(window);
}

void ZoomBy(TAnimationWindow* window, int32_t step) {
  int32_t last = static_cast<int32_t>(std::size(kZoomSteps)) - 1;
  int32_t index = CurrentIndex(window->ZoomBox) + step;
  index = index < 0 ? 0 : (index > last ? last : index);
  SetCurrentIndex(window->ZoomBox, index);
  ZoomChosen(window);
}

// Leaving the field shows the delay in use.
void SettleDelay(TAnimationWindow* window) {
  SetText(window->DelayEdit, std::to_string(window->DelayMs).c_str());
}

void OpenFromMenu(TMainWindow* main, TMenuNode*, int32_t) {
  ShowAnimation(main);
}

// Keys of the whole window, whichever control has the focus; the delay
// field keeps the keys of typing.
bool HandleKey(TAnimationWindow* window, TWidget* widget, WPARAM key) {
  bool typing = widget == window->DelayEdit;
  switch (key) {
    case VK_ESCAPE:
      RequestClose(window->Form);
      return true;
    case VK_SPACE:
      if (typing) return false;
      TogglePlaying(window);
      return true;
    case VK_LEFT:
    case VK_RIGHT:
      if (typing) return false;
      StepFrames(window, key == VK_LEFT ? -1 : 1);
      return true;
    default:
      return false;
  }
}

bool InputHandler(TWidget* widget, TMessage& message, LRESULT& result) {
  TAnimationWindow* window = AnimationWindow;
  if (!window) return false;
  if (message.Message == WM_MOUSEWHEEL && (GET_KEYSTATE_WPARAM(message.WParam) & MK_CONTROL)) {
    ZoomBy(window, GET_WHEEL_DELTA_WPARAM(message.WParam) > 0 ? 1 : -1);
    result = 0;
    return true;
  }
  if (message.Message != WM_KEYDOWN || !HandleKey(window, widget, message.WParam)) return false;
  result = 0;
  return true;
}

// The form's focus goes to its own controls: the shared form handler would
// make the main window hand its focus over to this window.
bool FocusHandler(TWidget* form, TMessage& message, LRESULT& result) {
  if (message.Message != WM_SETFOCUS) return false;
  TWidget* target = form->FocusedChild;
  if (!target && AnimationWindow) target = AnimationWindow->PlayButton;
  if (target && target->Window && IsWindowVisible(target->Window)) SetFocus(target->Window);
  result = 0;
  return true;
}

void AttachInput(TWidget* widget) {
  AttachHandler(widget, &InputHandler);
  TPtrList* children = widget->Children;
  for (int32_t i = 0; i < children->Count; ++i)
    AttachInput(static_cast<TWidget*>(children->ItemAt(i)));
}

TWidget* Place(TWidget* widget, int32_t x, int32_t y, int32_t width) {
  return SizeTo(PlaceAt(widget, x, y), width, 0);
}

TWidget* MakeChoice(TWidget* parent, int32_t x, int32_t y, int32_t width,
                    const std::vector<const char*>& items, int32_t current) {
  TWidget* box =
      Place(MakeComboBox(parent, kComboDropDownList | kComboNoIntegralHeight), x, y, width);
  SetColor(box, clWindow);
  for (const char* item : items)
    AddItem(box, item);
  SetCurrentIndex(box, current);
  return box;
}

void BuildForm(TAnimationWindow* window, TMainWindow* main) {
  TWidget* form = MakeForm(main->AppForm, Title().c_str());
  window->Form = form;
  // A class of its own: the close box stays whatever the shared form class
  // is given.
  form->KindName = "AnimationForm";
  // A pop-up stays above its owner wherever the system keeps the order of
  // windows itself.
  form->Style |= WS_POPUP;
  OwnObject(form, window);
  AttachHandler(form, &FocusHandler);
  SetFontHeight(GetFont(form), kFontHeight);
  form->Spacing = 0;
  if (g_bounds.right > g_bounds.left) {
    PlaceAt(form, g_bounds.left, g_bounds.top);
    SizeTo(form, g_bounds.right - g_bounds.left, g_bounds.bottom - g_bounds.top);
  } else {
    // Beside the main window when the screen has room, so both are seen.
    RECT beside = GetBounds(main->AppForm);
    int32_t left = beside.right + 8;
    if (left + kFirstWidth > GetSystemMetrics(SM_CXSCREEN)) left = beside.left + 60;
    PlaceAt(form, left, beside.top);
    SizeTo(form, kFirstWidth, kFirstHeight);
  }
}

void BuildPlayRow(TAnimationWindow* window, TWidget* panel) {
  window->PlayButton = Place(MakeButton(panel, "Пуск"), 6, 6, 64);
  window->PlayButton->ClickEvent = On<&TogglePlaying>(window);
  window->BackButton = Place(MakeButton(panel, "<"), 74, 6, 28);
  window->BackButton->ClickEvent = On<&StepBack>(window);
  window->NextButton = Place(MakeButton(panel, ">"), 106, 6, 28);
  window->NextButton->ClickEvent = On<&StepOn>(window);
  window->PositionLabel = Place(MakeLabel(panel, "Нет кадров"), 144, 6, 150);
  window->SaveButton = Place(MakeButton(panel, "Сохранить GIF..."), 300, 6, 110);
  window->SaveButton->ClickEvent = On<&SaveAnimationGif>(window);
}

void BuildSettingsRows(TAnimationWindow* window, TWidget* panel) {
  Place(MakeLabel(panel, "Задержка, мс:"), 6, 34, 88);
  window->DelayEdit = Place(MakeEditBox(panel, kEditNumber), 96, 34, 48);
  SetColor(window->DelayEdit, clWindow);
  SetText(window->DelayEdit, std::to_string(window->DelayMs).c_str());
  window->DelayEdit->ChangeEvent = On<&ApplyDelay>(window);
  window->DelayEdit->FocusOutEvent = On<&SettleDelay>(window);
  Place(MakeLabel(panel, "Масштаб:"), 154, 34, 54);
  window->ZoomBox =
      MakeChoice(panel, 210, 34, 60, {std::begin(kZoomTexts), std::end(kZoomTexts)}, g_zoomIndex);
  window->ZoomBox->ChangeEvent = On<&ZoomChosen>(window);

  window->SelectedBox = Place(MakeCheckBox(panel, "Только выделенные"), 6, 62, 136);
  window->SelectedBox->ClickEvent = On<&PlayChoiceChanged>(window);
  Place(MakeLabel(panel, "Фон:"), 154, 62, 32);
  window->BackdropBox = MakeChoice(panel, 188, 62, 82, {"Палитра", "Шахматы"}, 0);
  window->BackdropBox->ChangeEvent = On<&ShowPosition>(window);
  window->ShadowBox = Place(MakeCheckBox(panel, "Тени"), 280, 62, 70);
  window->ShadowBox->ClickEvent = On<&PlayChoiceChanged>(window);
}

void BuildWindow(TAnimationWindow* window, TMainWindow* main) {
  BuildForm(window, main);
  TWidget* panel = SetAlignMode(MakePanel(window->Form, kEdgeNone), kAlignTop);
  SetHeight(panel, kControlsHeight);
  BuildPlayRow(window, panel);
  BuildSettingsRows(window, panel);
  window->Scroller = SetAlignMode(MakeScrollBox(window->Form, kScrollEdgeClient), kAlignClient);
  window->Scroller->Spacing = 0;
  window->Picture = PlaceAt(MakePaintBox(window->Scroller), 0, 0);
  SetPaintEvent(window->Picture, TPaintEvent::Bind<&PaintAnimation>(window));
  window->Timer = MakeTimer(window->Form, TTimerEvent::Bind<&TickAnimation>(window));
  AttachInput(window->Form);
}

}  // namespace

void TAnimationWindow::Destroy() {
  if (AnimationWindow == this) AnimationWindow = nullptr;
  // Its form is going: the size it had is the one it comes back with.
  if (Form && Form->Window && !IsIconic(Form->Window) && !IsZoomed(Form->Window))
    GetWindowRect(Form->Window, &g_bounds);
  TBaseObject::Destroy();
}

void AddViewMenu(TMainWindow* main) {
  TMenuNode* view = MakeMenu(main->AppForm, 0, kViewMenuTemplate, 1, {});
  const TMenuItemEvent items[] = {TMenuItemEvent::Bind<&OpenFromMenu>(main)};
  SetItemHandlers(view, 0, items, 0);
  // The bar takes the pop-up over and destroys it with itself.
  HMENU popup = view->Handle;
  view->Handle = nullptr;
  InsertMenuA(main->MenuBar->Handle, 1, MF_BYPOSITION | MF_POPUP | MF_STRING,
              reinterpret_cast<UINT_PTR>(popup), "Вид");
  if (main->AppForm->Window) DrawMenuBar(main->AppForm->Window);
}

void ShowAnimation(TMainWindow* main) {
  if (AnimationWindow) {
    Show(AnimationWindow->Form);
    return;
  }
  auto* window = new TAnimationWindow();
  window->Main = main;
  BuildWindow(window, main);
  AnimationWindow = window;
  RebuildPlayList(window, true);
  Show(window->Form);
  window->Form->CreateWindowHandle();
}

void AnimationSpriteLoaded(const std::string& fileName) {
  g_spriteFile = fileName;
  if (TAnimationWindow* window = AnimationWindow) {
    SetText(window->Form, Title().c_str());
    RebuildPlayList(window, true);
  }
}

void AnimationPaletteChanged() {
  if (AnimationWindow) ShowPosition(AnimationWindow);
}

void AnimationSelectionChanged() {
  TAnimationWindow* window = AnimationWindow;
  if (window && IsChecked(window->SelectedBox)) RebuildPlayList(window, false);
}
