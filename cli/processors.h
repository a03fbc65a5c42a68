#pragma once

// How many processors this process may run on: its affinity mask, not the
// machine's count; at least 1. One small file per platform
// (processors_posix.cpp, processors_win32.cpp).
unsigned UsableProcessors();
