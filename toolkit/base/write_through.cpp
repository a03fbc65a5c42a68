#include "toolkit/base/write_through.h"

#include "toolkit/base/file_io.h"

bool WriteThroughTemporary(const std::string& path,
                           const std::function<bool(const char* temporary)>& write) {
  std::string temporary = path + ".partial";
  bool written = write(temporary.c_str()) && MoveOverFile(temporary.c_str(), path.c_str());
  if (!written) RemoveFile(temporary.c_str());
  return written;
}
