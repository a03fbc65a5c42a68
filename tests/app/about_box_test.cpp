#include "app/about_box.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/program_info.h"
#include "support/test_files.h"
#include "toolkit/gui_fixture.h"

namespace {

// A main form as the program makes it, with a button and a label, and the
// About box built under it by each test.
class TAboutBoxTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    main_ = Keep(MakeForm(nullptr, kProgramName));
    MainWidget = main_;
    main_->Spacing = 0;
    SetFontHeight(GetFont(main_), -11);
    PlaceAt(main_, 168, 75);
    SizeTo(main_, 549, 439);
    button_ = MakeButton(main_, "B");
    label_ = MakeLabel(main_, "L");
    PlaceAt(label_, 100, 100);
    GetHandle(main_);
  }

  // Shows the box with these texts; `whileShown` runs from inside the modal
  // loop and must end it (the test fails after 5 s otherwise).
  void ShowWith(const std::vector<std::string>& texts, std::function<void()> whileShown) {
    RunLater(50, std::move(whileShown));
    RunLater(5000, [] {
      if (IsWindowVisible(AboutForm->Window)) AboutForm->ModalOutcome = -5;
    });
    ShowAboutBox(texts[0].c_str(), texts[1].c_str(), texts[2].c_str(), texts[3].c_str(),
                 texts[4].c_str());
  }

  TWidget* main_ = nullptr;
  TWidget* button_ = nullptr;
  TWidget* label_ = nullptr;
};

// The widget's window rectangle in the box's client coordinates.
RECT PlaceInBox(TWidget* widget) {
  RECT rect;
  GetWindowRect(widget->Window, &rect);
  MapWindowPoints(nullptr, AboutForm->Window, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

LOGFONTA FontOf(TWidget* widget) {
  LOGFONTA font = {};
  auto handle = reinterpret_cast<HFONT>(SendMessageA(widget->Window, WM_GETFONT, 0, 0));
  GetObjectA(handle, sizeof(font), &font);
  return font;
}

// The text colour the box gives the label when the label asks how to paint.
COLORREF TextColourOf(TWidget* label) {
  TMemoryCanvas canvas(4, 4);
  SetTextColor(canvas.Dc(), RGB(1, 2, 3));
  SendMessageA(AboutForm->Window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(canvas.Dc()),
               reinterpret_cast<LPARAM>(label->Window));
  return GetTextColor(canvas.Dc());
}

TWidget* ChildOf(TWidget* widget, int index) {
  return static_cast<TWidget*>(widget->Children->ItemAt(index));
}

std::vector<std::string> ShownTexts() {
  return {TextOf(AboutTitle->Window), TextOf(AboutDate->Window), TextOf(AboutAuthor->Window),
          TextOf(AboutEmail->Window), TextOf(AboutWeb->Window)};
}

const std::vector<std::string> kProgramTexts = {kProgramName, kProgramDate, kAuthorName,
                                                kAuthorEmail, kAuthorWeb};

void CheckLabels() {
  const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
  struct {
    TWidget* widget;
    const char* text;
    RECT place;
    bool underline;
    COLORREF colour;
  } expected[] = {
      {ChildOf(AboutForm, 1), "Дата:", {2, 26, 42, 48}, false, ink},
      {AboutDate, kProgramDate, {42, 26, 242, 48}, false, 0x800000},
      {ChildOf(AboutForm, 3), "Автор:", {2, 48, 42, 70}, false, ink},
      {AboutAuthor, kAuthorName, {42, 48, 242, 70}, false, 0x800000},
      {ChildOf(AboutForm, 5), "E-mail:", {2, 70, 42, 92}, false, ink},
      {AboutEmail, kAuthorEmail, {42, 70, 242, 87}, true, 0xFF0000},
      {ChildOf(AboutForm, 7), "Web:", {2, 92, 42, 114}, false, ink},
      {AboutWeb, kAuthorWeb, {42, 92, 242, 109}, true, 0xFF0000},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(e.text);
    ASSERT_NE(e.widget->Window, nullptr);
    EXPECT_EQ(TextOf(e.widget->Window), e.text);
    RECT place = PlaceInBox(e.widget);
    EXPECT_TRUE(EqualRect(&place, &e.place))
        << place.left << "," << place.top << " " << place.right << "," << place.bottom;
    LOGFONTA font = FontOf(e.widget);
    EXPECT_EQ(font.lfHeight, -11);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_EQ(font.lfUnderline != 0, e.underline);
    EXPECT_STREQ(font.lfFaceName, DefaultFontFace);
    EXPECT_EQ(TextColourOf(e.widget), e.colour);
  }
  // The rest of the children, in the order the box makes them.
  EXPECT_EQ(AboutForm->Children->Count, 10);
  EXPECT_EQ(ChildOf(AboutForm, 0), AboutTitle);
  EXPECT_EQ(ChildOf(AboutForm, 9), AboutOk);

  EXPECT_EQ(TextOf(AboutTitle->Window), kProgramName);
  LOGFONTA title = FontOf(AboutTitle);
  EXPECT_EQ(title.lfHeight, -14);
  EXPECT_EQ(title.lfWeight, FW_BOLD);
  EXPECT_FALSE(title.lfUnderline);
  EXPECT_STREQ(title.lfFaceName, DefaultFontFace);
  EXPECT_EQ(TextColourOf(AboutTitle), 0x008000u);
  EXPECT_EQ(StyleOf(AboutTitle->Window) & (SS_TYPEMASK | SS_CENTERIMAGE),
            SS_CENTER | SS_CENTERIMAGE);
  RECT client;
  GetClientRect(AboutForm->Window, &client);
  RECT across = {0, 0, client.right, 22};
  RECT titlePlace = PlaceInBox(AboutTitle);
  EXPECT_TRUE(EqualRect(&titlePlace, &across)) << titlePlace.left << "," << titlePlace.right;
  EXPECT_EQ(FontOf(AboutOk).lfHeight, -11);
}

// The box's controls get their windows when it is first shown: the checks
// run while it is, then "Ok" ends it.
TEST_F(TAboutBoxTest, LabelsHaveTheirPlacesFontsAndColours) {
  BuildAboutBox(main_);
  ShowWith(kProgramTexts, [] {
    CheckLabels();
    SendMessageA(AboutOk->Window, BM_CLICK, 0, 0);
  });
  EXPECT_EQ(AboutForm->ModalOutcome, 1);
}

TEST_F(TAboutBoxTest, OkSitsCentredAtTheBottom) {
  BuildAboutBox(main_);
  RECT client = {};
  RECT ok = {};
  std::string text;
  ShowWith(kProgramTexts, [&] {
    GetClientRect(AboutForm->Window, &client);
    ok = PlaceInBox(AboutOk);
    text = TextOf(AboutOk->Window);
    SendMessageA(AboutOk->Window, BM_CLICK, 0, 0);
  });
  EXPECT_EQ(text, "Ok");
  EXPECT_EQ(ok.right - ok.left, 64);
  EXPECT_EQ(ok.bottom - ok.top, 22);
  EXPECT_EQ(ok.top, client.bottom - 22 - 8);
  EXPECT_EQ(ok.left, client.right / 2 - 32);
  EXPECT_LT(client.right, 240) << "inside a border";
}

TEST_F(TAboutBoxTest, IsAHiddenCentredBoxOfFixedSizeWithoutCaption) {
  EXPECT_FALSE(GetClassLongPtrA(main_->Window, GCL_STYLE) & CS_NOCLOSE);
  BuildAboutBox(main_);
  HWND box = AboutForm->Window;
  ASSERT_NE(box, nullptr);
  EXPECT_FALSE(IsWindowVisible(box));
  EXPECT_EQ(TextOf(box), "О Программе...");
  EXPECT_EQ(StyleOf(box) & ~WS_VISIBLE,
            WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU | WS_THICKFRAME);
  // Every form shares the class: the main window loses its close box too.
  EXPECT_TRUE(GetClassLongPtrA(main_->Window, GCL_STYLE) & CS_NOCLOSE);
  EXPECT_TRUE(GetClassLongPtrA(box, GCL_STYLE) & CS_NOCLOSE);

  int left = (GetSystemMetrics(SM_CXSCREEN) - 240) >> 1;
  int top = (GetSystemMetrics(SM_CYSCREEN) - 150) >> 1;
  RECT expected = {left, top, left + 240, top + 150};
  RECT rect;
  GetWindowRect(box, &rect);
  EXPECT_TRUE(EqualRect(&rect, &expected)) << rect.left << "," << rect.top;

  MINMAXINFO limits = {};
  SendMessageA(box, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(limits.ptMinTrackSize.x, 240);
  EXPECT_EQ(limits.ptMinTrackSize.y, 150);
  EXPECT_EQ(limits.ptMaxTrackSize.x, 240);
  EXPECT_EQ(limits.ptMaxTrackSize.y, 150);
  // Neither a resize nor the border's corner changes the size.
  SetWindowPos(box, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  GetWindowRect(box, &rect);
  EXPECT_EQ(rect.right - rect.left, 240);
  EXPECT_EQ(rect.bottom - rect.top, 150);
  LRESULT hit = SendMessageA(box, WM_NCHITTEST, 0, MAKELPARAM(rect.right - 1, rect.bottom - 1));
  EXPECT_EQ(hit, HTBORDER);
}

TEST_F(TAboutBoxTest, ShowsModallyWithTheGivenTextsUntilOk) {
  Show(main_);
  BuildAboutBox(main_);
  ASSERT_TRUE(SetFocusTo(button_));
  ASSERT_EQ(GetFocus(), button_->Window);
  const std::vector<std::string> second = {"N", "D", "A", "e@x", "http://x/"};
  for (const std::vector<std::string>& texts : {kProgramTexts, second}) {
    struct {
      bool shown = false, buttonEnabled = true, labelEnabled = true;
      std::vector<std::string> texts;
    } seen;
    ShowWith(texts, [&] {
      seen.shown = IsWindowVisible(AboutForm->Window);
      seen.buttonEnabled = IsWindowEnabled(button_->Window);
      seen.labelEnabled = IsWindowEnabled(label_->Window);
      seen.texts = ShownTexts();
      SendMessageA(AboutOk->Window, BM_CLICK, 0, 0);
    });
    SCOPED_TRACE(texts[0]);
    EXPECT_EQ(AboutForm->ModalOutcome, 1) << "ended by Ok";
    EXPECT_TRUE(seen.shown);
    EXPECT_FALSE(seen.buttonEnabled) << "the main window is blocked";
    EXPECT_FALSE(seen.labelEnabled);
    EXPECT_EQ(seen.texts, texts);

    EXPECT_FALSE(IsWindowVisible(AboutForm->Window));
    EXPECT_TRUE(IsWindowEnabled(button_->Window));
    EXPECT_TRUE(IsWindowEnabled(label_->Window));
    EXPECT_EQ(GetFocus(), button_->Window) << "the focus is back";
  }
}

TEST_F(TAboutBoxTest, LinksShowTheHandCursor) {
  BuildAboutBox(main_);
  HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  ASSERT_NE(hand, nullptr);
  // The cursor a widget shows when the pointer is over it.
  auto shownOver = [](TWidget* widget) {
    SetCursor(nullptr);
    SendMessageA(widget->Window, WM_SETCURSOR, reinterpret_cast<WPARAM>(widget->Window),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  };
  std::vector<HCURSOR> seen;
  ShowWith(kProgramTexts, [&] {
    for (TWidget* widget : {AboutEmail, AboutWeb, ChildOf(AboutForm, 5), AboutDate})
      seen.push_back(shownOver(widget));
    SendMessageA(AboutOk->Window, BM_CLICK, 0, 0);
  });
  EXPECT_EQ(seen, (std::vector<HCURSOR>{hand, hand, arrow, arrow}));
}

// A value of Wine's browser settings, set for the test and then put back.
class TBrowserSetting {
 public:
  TBrowserSetting(const char* name, const std::string& value) : name_(name) {
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", 0, nullptr, 0,
                    KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr);
    char old[1024];
    DWORD size = sizeof(old);
    DWORD type = 0;
    if (RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(old), &size) ==
            ERROR_SUCCESS &&
        type == REG_SZ) {
      old_ = std::string(old, strnlen(old, size));
    }
    Store(value);
  }
  ~TBrowserSetting() {
    if (old_) {
      Store(*old_);
    } else {
      RegDeleteValueA(key_, name_);
    }
    RegCloseKey(key_);
  }
  TBrowserSetting(const TBrowserSetting&) = delete;
  TBrowserSetting& operator=(const TBrowserSetting&) = delete;

 private:
  void Store(const std::string& value) {
    RegSetValueExA(key_, name_, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
  }
  HKEY key_ = nullptr;
  const char* name_;
  std::optional<std::string> old_;
};

// The host's path of a file, for programs Wine starts outside; empty when
// not running under Wine.
std::string HostPathOf(const std::string& path) {
  using TConvert = char*(CDECL*)(const WCHAR*);
  FARPROC found = GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
  if (!found) return "";
  auto convert = reinterpret_cast<TConvert>(reinterpret_cast<void (*)()>(found));
  WCHAR wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
  char* host = convert(wide);
  std::string result = host ? host : "";
  HeapFree(GetProcessHeap(), 0, host);
  return result;
}

std::vector<std::string> LinesOf(const TBytes& bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (uint8_t byte : bytes) {
    if (byte == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += static_cast<char>(byte);
    }
  }
  return lines;
}

TEST_F(TAboutBoxTest, LinksHandTheirAddressesToTheShell) {
  TTempDir dir;
  std::string script = HostPathOf(dir.File("record.sh"));
  std::string seenFile = HostPathOf(dir.File("seen.txt"));
  if (script.empty()) GTEST_SKIP() << "the shell's programs are observed only under Wine";
  std::string record = "printf '%s\\n' \"$1\" >> '" + seenFile + "'\n";
  WriteFileBytes(dir.File("record.sh"), TBytes(record.begin(), record.end()));
  std::string command = "/bin/sh \"" + script + "\"";
  TBrowserSetting browsers("Browsers", command);
  TBrowserSetting mailers("Mailers", command);

  Show(main_);
  BuildAboutBox(main_);
  ShowWith(kProgramTexts, [] {
    for (TWidget* link : {AboutEmail, AboutWeb}) {
      SendMessageA(link->Window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
      SendMessageA(link->Window, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    }
    SendMessageA(AboutOk->Window, BM_CLICK, 0, 0);
  });
  EXPECT_EQ(AboutForm->ModalOutcome, 1);

  // The shell starts the programs on its own time.
  std::vector<std::string> lines;
  for (int i = 0; i < 40 && lines.size() < 2; ++i) {
    Sleep(50);
    lines = LinesOf(ReadFileBytes(dir.File("seen.txt")));
  }
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::string>{"https://example.org/skarnel",
                                             "mailto:skarnel@example.org"}));
}

}  // namespace
