#include "formats/image_input.h"

// Until the PNG library is in the build, PNG files are recognised but
// refused.
bool ReadPngImage(const uint8_t*, size_t, TInputImage&, std::string& why) {
  why = "PNG images cannot be read by this build";
  return false;
}
