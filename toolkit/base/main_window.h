#pragma once

// Where the clipboard and message boxes find the application's main window
// (an HWND, or 0 when there is none yet). The toolkit installs the source
// once it has a main widget.
using TMainWindowSource = void* (*)();

void SetMainWindowSource(TMainWindowSource source);
void* AppMainWindow();
