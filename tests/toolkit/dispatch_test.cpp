#include "toolkit/widgets/dispatch.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "gui_fixture.h"
#include "toolkit/widgets/layout.h"

namespace {

using TDispatchTest = GuiTest;

constexpr UINT kProbe = WM_APP + 7;

// Handlers that log their names; B answers the probe when asked to.
bool g_bHandles = false;
bool HandlerA(TWidget*, TMessage& message, LRESULT&) {
  if (message.Message == kProbe) EventLog.push_back("A");
  return false;
}
bool HandlerB(TWidget*, TMessage& message, LRESULT& result) {
  if (message.Message != kProbe) return false;
  EventLog.push_back("B");
  result = 42;
  return g_bHandles;
}
bool HandlerC(TWidget*, TMessage& message, LRESULT&) {
  if (message.Message == kProbe) EventLog.push_back("C");
  return false;
}

using TLog = std::vector<std::string>;

TEST_F(TDispatchTest, HandlersRunNewestFirstUntilOneHandles) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  AttachHandler(form, &HandlerA);
  AttachHandler(form, &HandlerB);
  AttachHandler(form, &HandlerC);
  AttachHandler(form, &HandlerA);  // already there: stays where it was
  EXPECT_EQ(form->HandlerChain->Count, 4) << "FormHandler and three";

  SendToWidget(form, kProbe, 0, 0);
  EXPECT_EQ(EventLog, (TLog{"C", "B", "A"}));

  EventLog.clear();
  g_bHandles = true;
  EXPECT_EQ(SendToWidget(form, kProbe, 0, 0), 42);
  EXPECT_EQ(EventLog, (TLog{"C", "B"}));

  EventLog.clear();
  DetachHandler(form, &HandlerC);
  DetachHandler(form, &HandlerC);
  SendToWidget(form, kProbe, 0, 0);
  EXPECT_EQ(EventLog, (TLog{"B"}));
  g_bHandles = false;
}

bool FreeOnProbe(TWidget* widget, TMessage& message, LRESULT& result) {
  if (message.Message != kProbe) return false;
  EventLog.push_back("free requested");
  Free(widget);
  EventLog.push_back(widget->Window ? "still alive" : "gone");
  result = 7;
  return false;
}
bool LogOlderHandler(TWidget*, TMessage& message, LRESULT&) {
  if (message.Message == kProbe) EventLog.push_back("older handler");
  return false;
}

TEST_F(TDispatchTest, AHandlerFreeingItsWidgetDestroysItAfterTheDispatch) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  TWidget* button = MakeButton(form, "doomed");
  GetHandle(form);
  HWND window = button->Window;
  bool gone = false;
  WatchDestroy(button, &gone);
  AttachHandler(button, &LogOlderHandler);
  AttachHandler(button, &FreeOnProbe);

  LRESULT result = SendMessageA(window, kProbe, 0, 0);
  EXPECT_EQ(EventLog, (TLog{"free requested", "still alive", "older handler"}));
  EXPECT_TRUE(gone);
  EXPECT_EQ(result, 7) << "handled: the result as the handler left it";
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(form->Children->IndexOf(button), -1);
  EXPECT_EQ(form->FocusedChild, nullptr) << "the form forgot its focused control";
}

TEST_F(TDispatchTest, NotificationsReachTheControlsEvents) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  TWidget* button = MakeButton(form, "B");
  TWidget* label = MakeLabel(form, "L");
  for (TWidget* w : {button, label}) {
    std::string name = w == button ? "button " : "label ";
    w->ClickEvent = LogEvent((name + "click").c_str());
    w->FocusInEvent = LogEvent((name + "focus in").c_str());
    w->FocusOutEvent = LogEvent((name + "focus out").c_str());
    w->ChangeEvent = LogEvent((name + "change").c_str());
  }
  GetHandle(form);
  struct TCase {
    TWidget* widget;
    WORD code;
    const char* expected;  // nullptr: nothing
  } cases[] = {
      {button, BN_CLICKED, "button click"},       {button, BN_SETFOCUS, "button focus in"},
      {button, BN_KILLFOCUS, "button focus out"}, {button, 3, nullptr},
      {label, STN_CLICKED, "label click"},        {label, STN_ENABLE, nullptr},
  };
  for (const TCase& c : cases) {
    EventLog.clear();
    WPARAM wParam = MAKEWPARAM(GetDlgCtrlID(c.widget->Window), c.code);
    SendMessageA(form->Window, WM_COMMAND, wParam, reinterpret_cast<LPARAM>(c.widget->Window));
    PumpQueued();
    TLog expected = c.expected ? TLog{c.expected} : TLog{};
    EXPECT_EQ(EventLog, expected) << c.widget->KindName << " code " << c.code;
  }

  // The real thing: a click on the button, a click on the label.
  EventLog.clear();
  SendMessageA(button->Window, BM_CLICK, 0, 0);
  SendMessageA(label->Window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageA(label->Window, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(EventLog, (TLog{"button click", "label click"}));

  EventLog.clear();
  button->FocusGuard = 1;  // a click caused by giving the focus does not count
  SendMessageA(button->Window, BM_CLICK, 0, 0);
  button->FocusGuard = 0;
  EXPECT_EQ(EventLog, TLog{});
}

TEST_F(TDispatchTest, NotificationsOfAPanelsChildrenAreRoutedThroughThePanel) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  TWidget* panel = MakePanel(form, kEdgeNone);
  TWidget* button = MakeButton(panel, "inner");
  button->ClickEvent = LogEvent("inner click");
  GetHandle(form);
  SendMessageA(button->Window, BM_CLICK, 0, 0);
  EXPECT_EQ(EventLog, TLog{"inner click"});
}

// A kind that reports its selection the way a combo box does.
TKindTable ComboLikeTable() {
  TKindTable table = PlainKindTable();
  table.NotifyCodes[kNotifyClick] = 2;
  table.NotifyCodes[kNotifyFocusIn] = 3;
  table.NotifyCodes[kNotifyFocusOut] = 4;
  table.NotifyCodes[kNotifyChange] = 5;
  table.NotifyCodes[kNotifySelect] = kPostedSelectCode;
  return table;
}

void LogDropDown(TWidget*) {
  EventLog.push_back("drop-down sizing");
}

TEST_F(TDispatchTest, SelectionChangesArePostedAndRaiseTheSelectEventLater) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  TWidget* combo = MakeControl(form, "STATIC", WS_CHILD | WS_VISIBLE, ComboLikeTable(), true);
  combo->ChangeEvent = LogEvent("change");
  combo->CloseUpEvent = LogEvent("close up");
  combo->DropDownEvent = &LogDropDown;
  GetHandle(form);
  EXPECT_EQ(combo->ExStyle, static_cast<uint32_t>(WS_EX_CONTROLPARENT | WS_EX_CLIENTEDGE));
  auto notify = [&](WORD code) {
    WPARAM wParam = MAKEWPARAM(GetDlgCtrlID(combo->Window), code);
    return SendMessageA(form->Window, WM_COMMAND, wParam, reinterpret_cast<LPARAM>(combo->Window));
  };

  notify(CBN_SELCHANGE);
  EXPECT_EQ(EventLog, TLog{}) << "not inside the control's own notification";
  PumpQueued();
  EXPECT_EQ(EventLog, TLog{"change"}) << "without a select event the change event runs";

  EventLog.clear();
  combo->SelectEvent = LogEvent("select");
  notify(CBN_SELCHANGE);
  PumpQueued();
  EXPECT_EQ(EventLog, TLog{"select"});

  EventLog.clear();
  notify(CBN_DROPDOWN);
  EXPECT_TRUE(combo->DroppedDown);
  EXPECT_EQ(combo->DropDownIndex, -1) << "the kind has no current-index message";
  notify(CBN_CLOSEUP);
  EXPECT_FALSE(combo->DroppedDown);
  notify(5);
  EXPECT_EQ(EventLog, (TLog{"drop-down sizing", "close up", "change"}));
}

TEST_F(TDispatchTest, ControlsAnswerColourRequestsWithTheirOwnColours) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  TWidget* label = MakeLabel(form, "L");
  TWidget* clear = MakeLabel(form, "see-through");
  clear->Transparent = true;
  SetColor(label, 0x00203040);
  SetFontColor(GetFont(label), 0x000000FF);
  GetHandle(form);
  TMemoryCanvas canvas(4, 4);
  auto ask = [&](TWidget* control, UINT message) {
    return reinterpret_cast<HBRUSH>(SendMessageA(form->Window, message,
                                                 reinterpret_cast<WPARAM>(canvas.Dc()),
                                                 reinterpret_cast<LPARAM>(control->Window)));
  };

  HBRUSH brush = ask(label, WM_CTLCOLORSTATIC);
  ASSERT_NE(brush, nullptr);
  EXPECT_EQ(brush, label->CtlBrush);
  EXPECT_EQ(GetTextColor(canvas.Dc()), RGB(255, 0, 0));
  EXPECT_EQ(GetBkColor(canvas.Dc()), 0x00203040u);
  EXPECT_EQ(GetBkMode(canvas.Dc()), OPAQUE);
  LOGBRUSH description{};
  GetObjectA(brush, sizeof(description), &description);
  EXPECT_EQ(description.lbColor, 0x00203040u);
  EXPECT_EQ(ask(label, WM_CTLCOLORBTN), brush) << "made once";

  SetColor(label, clWindow);
  EXPECT_EQ(label->CtlBrush, nullptr) << "a new colour drops the brush";
  HBRUSH again = ask(label, WM_CTLCOLORSTATIC);
  GetObjectA(again, sizeof(description), &description);
  EXPECT_EQ(description.lbColor, GetSysColor(COLOR_WINDOW));

  EXPECT_EQ(ask(clear, WM_CTLCOLORSTATIC), GetStockObject(NULL_BRUSH));
  EXPECT_EQ(GetBkMode(canvas.Dc()), TRANSPARENT);
  EXPECT_EQ(GetTextColor(canvas.Dc()), GetSysColor(COLOR_WINDOWTEXT));
}

TEST_F(TDispatchTest, FormsEraseWithTheirColourAndCreateMissingChildren) {
  TWidget* form = Keep(SizeTo(MakeForm(nullptr, "Host"), 200, 150));
  SetColor(form, 0x00102030);
  GetHandle(form);
  TWidget* late = MakeLabel(form, "late");
  EXPECT_EQ(late->Window, nullptr);
  TMemoryCanvas canvas(8, 8);
  EXPECT_EQ(SendMessageA(form->Window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0), 0);
  EXPECT_NE(late->Window, nullptr);
  EXPECT_EQ(GetPixel(canvas.Dc(), 3, 3), 0x00102030u);
  EXPECT_EQ(form->PaintContext, nullptr);

  TWidget* box = SizeTo(MakeGroupBox(form, "G"), 8, 8);
  SetColor(box, 0x00405060);
  GetHandle(box);
  EXPECT_EQ(SendMessageA(box->Window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0), 1);
  EXPECT_EQ(GetPixel(canvas.Dc(), 3, 3), 0x00405060u);
}

HDC g_contextDuringPaint = nullptr;
HDC g_eventDc = nullptr;
void RecordPaint(int* count, TWidget* widget, HDC dc) {
  ++*count;
  g_eventDc = dc;
  g_contextDuringPaint = widget->PaintContext;
}

TEST_F(TDispatchTest, PaintEventsGetThePaintDeviceContext) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  TWidget* box = MakePaintBox(form);
  int paints = 0;
  SetPaintEvent(box, TPaintEvent::Bind<&RecordPaint>(&paints));
  Show(form);
  form->CreateWindowHandle();
  UpdateNow(form);
  int first = paints;
  EXPECT_GE(first, 1);
  InvalidateRect(box->Window, nullptr, TRUE);
  UpdateNow(form);
  EXPECT_EQ(paints, first + 1);
  EXPECT_NE(g_eventDc, nullptr);
  EXPECT_EQ(g_contextDuringPaint, g_eventDc);
  EXPECT_EQ(box->PaintContext, nullptr);
  EXPECT_EQ(box->UpdateRegion, nullptr);
  RECT pending;
  EXPECT_FALSE(GetUpdateRect(box->Window, &pending, FALSE)) << "validated by the paint";

  TMemoryCanvas canvas(4, 4);
  SendMessageA(box->Window, WM_PAINT, reinterpret_cast<WPARAM>(canvas.Dc()), 0);
  EXPECT_EQ(g_eventDc, canvas.Dc()) << "a given context is used as it is";
}

TEST_F(TDispatchTest, InvalidateWorksOnlyWhileTheMainLoopRuns) {
  TWidget* form = Keep(SizeTo(MakeForm(nullptr, "Host"), 200, 150));
  Show(form);
  form->CreateWindowHandle();
  UpdateWindow(form->Window);
  RECT pending;
  Invalidate(form);
  EXPECT_FALSE(GetUpdateRect(form->Window, &pending, FALSE));
  RunDepth = 1;
  Invalidate(form);
  EXPECT_TRUE(GetUpdateRect(form->Window, &pending, FALSE));
}

TEST_F(TDispatchTest, MessagesOfUnownedWindowsGoToTheMainWidget) {
  TWidget* main = Keep(MakeForm(nullptr, "Main"));
  GetHandle(main);
  static HWND seen;
  seen = nullptr;
  AttachHandler(main, [](TWidget*, TMessage& message, LRESULT& result) {
    if (message.Message != kProbe) return false;
    seen = message.Window;
    result = 99;
    return true;
  });
  // A window of the toolkit's class that no widget made.
  HWND stray = CreateWindowExA(0, "obj_Form", "stray", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(stray, nullptr);
  EXPECT_EQ(WidgetOfWindow(stray), nullptr);
  EXPECT_EQ(SendMessageA(stray, kProbe, 0, 0), 0) << "no main widget: default processing";
  MainWidget = main;
  EXPECT_EQ(SendMessageA(stray, kProbe, 0, 0), 99);
  EXPECT_EQ(seen, stray) << "the record keeps the window it came with";
  MainWidget = nullptr;
  DestroyWindow(stray);
}

TEST_F(TDispatchTest, TheCursorIsSetOverTheClientAreaOnly) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  TWidget* label = MakeLabel(form, "L");
  HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
  SetCursorShape(label, cross);
  EXPECT_EQ(label->MouseCursor, cross);
  GetHandle(form);
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_TRUE(SendMessageA(label->Window, WM_SETCURSOR, reinterpret_cast<WPARAM>(label->Window),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(GetCursor(), cross);
  TWidget* later = MakeButton(form, "inherits");
  EXPECT_EQ(later->MouseCursor, form->MouseCursor) << "controls take their parent's cursor";
}

TEST_F(TDispatchTest, WidgetsAreTiedToTheirWindowsFromTheFirstMessage) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  static std::vector<UINT> firstMessages;
  firstMessages.clear();
  AttachHandler(form, [](TWidget* widget, TMessage& message, LRESULT&) {
    if (firstMessages.size() < 2) firstMessages.push_back(message.Message);
    EXPECT_EQ(widget->Window, message.Window);
    return false;
  });
  GetHandle(form);
  ASSERT_FALSE(firstMessages.empty());
  EXPECT_TRUE(firstMessages[0] == WM_GETMINMAXINFO || firstMessages[0] == WM_NCCREATE);
  EXPECT_EQ(WidgetOfWindow(form->Window), form);
  EXPECT_EQ(GetPropA(form->Window, "SELF_"), form);
  EXPECT_EQ(CreatingWidget, nullptr);
}

TEST_F(TDispatchTest, FreeingAFormDestroysChildrenLastFirstAndTheirWindows) {
  TWidget* form = MakeForm(nullptr, "Host");
  TWidget* panel = MakePanel(form, kEdgeNone);
  TWidget* button = MakeButton(panel, "B");
  TWidget* label = MakeLabel(form, "L");
  GetHandle(form);
  HWND windows[] = {form->Window, panel->Window, button->Window, label->Window};
  LogDestroy(form, "form");
  LogDestroy(panel, "panel");
  LogDestroy(button, "button");
  LogDestroy(label, "label");
  Free(form);
  EXPECT_EQ(EventLog, (TLog{"form", "label", "panel", "button"}));
  for (HWND window : windows)
    EXPECT_FALSE(IsWindow(window));
}

// A form that counts how often its destruction starts.
int g_formDestroys = 0;
class TCountingForm : public TWidget {
 protected:
  void Destroy() override {
    ++g_formDestroys;
    TWidget::Destroy();
  }
};

TWidget* MakeCountingForm() {
  auto* form = new TCountingForm();
  form->InitDefaults();
  form->InitWithParent(nullptr);
  form->KindName = "Form";
  form->ClassStyle |= CS_DBLCLKS;
  AttachHandler(form, &FormHandler);
  return form;
}

bool FreeOwnWidgetOnProbe(TWidget* widget, TMessage& message, LRESULT&) {
  if (message.Message != kProbe) return false;
  Free(widget);
  return true;
}

// Each child's window notifies the form as it goes, while the form's own
// handler walk still holds it.
TEST_F(TDispatchTest, AFormFreedInsideItsHandlersIsDestroyedOnceWithItsChildren) {
  struct TCase {
    const char* Path;
    UINT Message;
    WPARAM WParam;
    bool IsMain;
  } cases[] = {
      {"handler frees its own form", kProbe, 0, false},
      {"session end", WM_ENDSESSION, TRUE, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Path);
    g_formDestroys = 0;
    EventLog.clear();
    TWidget* form = MakeCountingForm();
    TWidget* panel = MakePanel(form, kEdgeNone);
    std::pair<TWidget*, const char*> parts[] = {{form, "form"},
                                                {panel, "panel"},
                                                {MakeButton(panel, "1"), "1"},
                                                {MakeButton(panel, "2"), "2"},
                                                {MakeLabel(form, "L"), "label"}};
    AttachHandler(form, &FreeOwnWidgetOnProbe);
    HWND window = GetHandle(form);
    std::vector<HWND> windows;
    for (auto [widget, name] : parts) {
      windows.push_back(widget->Window);
      LogDestroy(widget, name);
    }
    if (c.IsMain) MainWidget = form;

    SendMessageA(window, c.Message, c.WParam, 0);
    EXPECT_EQ(g_formDestroys, 1);
    EXPECT_EQ(EventLog, (TLog{"form", "label", "panel", "2", "1"}));
    for (HWND gone : windows)
      EXPECT_FALSE(IsWindow(gone));
    PumpQueued();
    QuitRequested = false;
  }
}

bool RefuseCreation(TWidget*, TMessage& message, LRESULT& result) {
  if (message.Message != WM_CREATE) return false;
  result = -1;
  return true;
}

TEST_F(TDispatchTest, AWindowThatFailsToBeCreatedLeavesItsWidgetUsableWithoutOne) {
  struct TCase {
    const char* Kind;
    bool ChildOfMain;
  } cases[] = {{"form", false}, {"button of the main form", true}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Kind);
    TWidget* main = MakeForm(nullptr, "Main");
    TWidget* widget = c.ChildOfMain ? MakeButton(main, "B") : MakeForm(nullptr, "F");
    bool gone = false;
    WatchDestroy(widget, &gone);
    AttachHandler(widget, &RefuseCreation);
    MainWidget = main;
    EXPECT_NE(GetHandle(main), nullptr);  // a button's window is made with its form's

    EXPECT_EQ(GetHandle(widget), nullptr);
    EXPECT_FALSE(gone) << "freed underneath the creating call";
    EXPECT_EQ(widget->Window, nullptr);
    SetText(widget, "still usable");
    EXPECT_EQ(GetText(widget), "still usable");

    DetachHandler(widget, &RefuseCreation);
    HWND window = GetHandle(widget);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(WidgetOfWindow(window), widget);
    MainWidget = nullptr;
    if (!c.ChildOfMain) Free(widget);
    Free(main);
  }
}

bool ThrowOnProbe(TWidget*, TMessage& message, LRESULT&) {
  if (message.Message != kProbe) return false;
  if (message.WParam == 0) throw std::bad_alloc();
  throw std::length_error("list");
}

// The system's frames cannot be unwound: a failing command ends inside the
// window procedure, and the window goes on answering.
TEST_F(TDispatchTest, AnExceptionNeverLeavesTheWindowProcedure) {
  TWidget* form = MakeForm(nullptr, "Host");
  bool gone = false;
  WatchDestroy(form, &gone);
  AttachHandler(form, &HandlerA);
  AttachHandler(form, &ThrowOnProbe);
  HWND window = GetHandle(form);
  for (WPARAM kind : {0, 1}) {
    EventLog.clear();
    bool escaped = false;
    try {
      SendMessageA(window, kProbe, kind, 0);
    } catch (...) {
      escaped = true;
    }
    EXPECT_FALSE(escaped) << kind;
    EXPECT_EQ(EventLog, TLog{}) << "the walk ended where it failed";
  }
  DetachHandler(form, &ThrowOnProbe);
  SendMessageA(window, kProbe, 0, 0);
  EXPECT_EQ(EventLog, TLog{"A"});
  Free(form);
  EXPECT_TRUE(gone) << "the failed walks left no hold behind";
}

}  // namespace
