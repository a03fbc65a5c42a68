#pragma once

#include "toolkit/widgets/widget.h"

// The About box: the program's name, a date, the author and two links that
// open through the shell. Built once, hidden, under the main form; shown
// modally as often as the user asks. It keeps no values of its own: every
// text is passed in.

extern TWidget* AboutForm;
extern TWidget* AboutOk;
extern TWidget* AboutTitle;
extern TWidget* AboutDate;
extern TWidget* AboutAuthor;
extern TWidget* AboutEmail;  // a link: "mailto:" and the text go to the shell
extern TWidget* AboutWeb;    // a link: the text goes to the shell

// Builds the box, hidden, as a child form of `parent` (the main form). From
// then on every form of the program carries CS_NOCLOSE: the box changes the
// window class all forms share.
void BuildAboutBox(TWidget* parent);

// Sets the five texts and shows the box modally; returns once "Ok" (or a
// close) has ended it, with the main form's widgets enabled again.
void ShowAboutBox(const char* name, const char* date, const char* author, const char* email,
                  const char* web);

// The click events of the links and of "Ok"; `box` is AboutForm.
void OpenMailLink(TWidget* box, TWidget* sender);
void OpenWebLink(TWidget* box, TWidget* sender);
void CloseAboutBox(TWidget* box, TWidget* sender);
