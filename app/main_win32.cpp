// Program entry of the viewer: builds the main window, runs until it
// closes, and ends the process. No arguments are read.
#include <windows.h>

#include "app/main_unit.h"
#include "toolkit/widgets/message_loop.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The record goes with the form when the loop ends, so the loop gets a
  // variable of its own.
  TWidget* appForm = BuildMainWindow()->AppForm;
  RunMainLoop(appForm);
  return 0;
}
