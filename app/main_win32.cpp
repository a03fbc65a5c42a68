// Program entry of the viewer. Until the main window is built this opens an
// empty main form under the program's caption, after the palettes have been
// found, and runs until it is closed.
#include <windows.h>

#include "app/palette_catalogue.h"
#include "app/program_info.h"
#include "toolkit/dispatch.h"
#include "toolkit/message_loop.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  TWidget* appForm = MakeForm(nullptr, kProgramName);
  MainWidget = appForm;
  PlaceAt(appForm, 168, 75);
  SizeTo(appForm, 549, 439);
  // Hidden until the loop shows it; the no-palette notice belongs to it.
  GetHandle(appForm);
  LoadPaletteCatalogue();
  RunMainLoop(appForm);
  return 0;
}
