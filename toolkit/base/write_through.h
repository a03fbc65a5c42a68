#pragma once

#include <functional>
#include <string>

#include "toolkit/base/byte_stream.h"

// Writes a file so that a failure never damages what was there before:
// `write` fills a new temporary file beside the target, which is renamed over
// the target only when `write` answered true and the file closed without
// error. Otherwise the temporary file is removed and the target stays as it
// was. `write` receives a write stream on the temporary file (freed after)
// and answers whether every byte was written.
//
// The temporary file has a name of its own, "<path>.<random>.partial", and is
// made only where nothing of that name exists: two writers of one file never
// share one, and a link planted under the name is never followed. A target
// that is a link is replaced by the new file; the file it points to is left
// alone. A replaced file keeps its permission bits (POSIX); a new one gets
// what a plain create gives. Nothing is forced to the disk (no fsync): a
// system crash right after may lose the new file's contents.
bool WriteThroughTemporary(const std::string& path,
                           const std::function<bool(TByteStream* file)>& write);
