#include "toolkit/base/main_window.h"

namespace {

TMainWindowSource g_source = nullptr;

}  // namespace

void SetMainWindowSource(TMainWindowSource source) {
  g_source = source;
}

void* AppMainWindow() {
  return g_source ? g_source() : nullptr;
}
