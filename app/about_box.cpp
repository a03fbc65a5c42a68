#include "app/about_box.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "toolkit/widgets/layout.h"
#include "toolkit/widgets/message_loop.h"

TWidget* AboutForm = nullptr;
TWidget* AboutOk = nullptr;
TWidget* AboutTitle = nullptr;
TWidget* AboutDate = nullptr;
TWidget* AboutAuthor = nullptr;
TWidget* AboutEmail = nullptr;
TWidget* AboutWeb = nullptr;

namespace {

constexpr TColor kTitleColour = 0x008000;  // dark green
constexpr TColor kValueColour = 0x800000;  // navy
constexpr TColor kLinkColour = 0xFF0000;   // blue
constexpr int32_t kTextHeight = -11;
constexpr int32_t kTitleHeight = -14;
constexpr int32_t kLinkHeight = 17;

// The box keeps its size and shows no caption bar: a bordered panel over
// the main window.
void ShapeBox(TWidget* box) {
  SetWidth(box, 240);
  SetHeight(box, 150);
  CenterInParent(box);
  // Creates the window: the class and style changes below act on it.
  SetResizable(box, false);
  // The class is shared by every form, the main form included.
  SetClassStyle(box, box->ClassStyle ^ CS_NOCLOSE);
  uint32_t style = box->Style & ~static_cast<uint32_t>(WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  style = (style | WS_CHILD) & ~static_cast<uint32_t>(WS_CAPTION);
  SetStyle(box, style);
}

void BuildTitle(TWidget* box) {
  AboutTitle = MakeLabel(box, nullptr);
  SetAlignMode(AboutTitle, kAlignTop);
  SetHeight(AboutTitle, 22);
  TDrawTool* font = GetFont(AboutTitle);
  SetFontHeight(font, kTitleHeight);
  SetFontColor(font, kTitleColour);
  SetFontStyle(font, kFontBold);
  SetTextHAlign(AboutTitle, kTextCenter);
  SetTextVAlign(AboutTitle, kTextMiddle);
}

// A caption on the left of a row.
void AddCaption(TWidget* box, const char* caption, int32_t top) {
  TWidget* label = MakeLabel(box, caption);
  SetFontHeight(GetFont(label), kTextHeight);
  PlaceAt(label, 2, top);
  SetWidth(label, 40);
}

// The value on the right of a row, filled in by ShowAboutBox.
TWidget* AddValue(TWidget* box, int32_t top) {
  TWidget* label = MakeLabel(box, nullptr);
  SetFontColor(GetFont(label), kValueColour);
  SetFontHeight(GetFont(label), kTextHeight);
  PlaceAt(label, 42, top);
  SetWidth(label, 200);
  return label;
}

// A value that opens through the shell when clicked.
TWidget* AddLink(TWidget* box, int32_t top, TNotifyEvent click) {
  TWidget* label = AddValue(box, top);
  SetHeight(label, kLinkHeight);
  label->ClickEvent = click;
  SetFontColor(GetFont(label), kLinkColour);
  SetFontStyle(GetFont(label), kFontUnderline);
  SetCursorShape(label, LoadCursorA(nullptr, IDC_HAND));
  return label;
}

void PlaceOk(TWidget* box) {
  SetTop(AboutOk, ClientHeight(box) - GetHeight(AboutOk) - 8);
  SetLeft(AboutOk, ClientWidth(box) / 2 - GetWidth(AboutOk) / 2);
}

void OpenThroughShell(const std::string& target) {
  // Nothing to tell the user when no mail program or browser answers.
  ShellExecuteA(AboutForm->Window, nullptr, target.c_str(), "", "", SW_SHOW);
}

}  // namespace

void BuildAboutBox(TWidget* parent) {
  AboutForm = MakeForm(parent, "О Программе...");
  Hide(AboutForm);
  ShapeBox(AboutForm);
  BuildTitle(AboutForm);
  AddCaption(AboutForm, "Дата:", 26);
  AboutDate = AddValue(AboutForm, 26);
  AddCaption(AboutForm, "Автор:", 48);
  AboutAuthor = AddValue(AboutForm, 48);
  AddCaption(AboutForm, "E-mail:", 70);
  AboutEmail = AddLink(AboutForm, 70, TNotifyEvent::Bind<&OpenMailLink>(AboutForm));
  AddCaption(AboutForm, "Web:", 92);
  AboutWeb = AddLink(AboutForm, 92, TNotifyEvent::Bind<&OpenWebLink>(AboutForm));
  AboutOk = MakeButton(AboutForm, "Ok");
  SetFontHeight(GetFont(AboutOk), kTextHeight);
  AboutOk->ClickEvent = TNotifyEvent::Bind<&CloseAboutBox>(AboutForm);
  PlaceOk(AboutForm);
}

void ShowAboutBox(const char* name, const char* date, const char* author, const char* email,
                  const char* web) {
  SetText(AboutTitle, name);
  SetText(AboutDate, date);
  SetText(AboutAuthor, author);
  SetText(AboutEmail, email);
  SetText(AboutWeb, web);
  RunModal(AboutForm);
}

void OpenMailLink(TWidget*, TWidget*) {
  OpenThroughShell("mailto:" + GetText(AboutEmail));
}

void OpenWebLink(TWidget*, TWidget*) {
  OpenThroughShell(GetText(AboutWeb));
}

void CloseAboutBox(TWidget* box, TWidget*) {
  box->ModalOutcome = 1;
  Hide(box);
}
