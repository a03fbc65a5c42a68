#pragma once

#include <functional>
#include <string>

// Writes a file so that a failure never damages what was there before: `write`
// fills a temporary file beside the target ("<path>.partial"), which is renamed
// over the target only when `write` answered true. A failed write or rename
// removes the temporary file and leaves the target as it was.
// `write` receives the temporary file's name and answers whether every byte
// was written.
bool WriteThroughTemporary(const std::string& path,
                           const std::function<bool(const char* temporary)>& write);
