#include "formats/frame_names.h"

#include "formats/cases.h"

std::string FrameNumberText(int32_t number) {
  return PadLeft(std::to_string(number), '0', 3);
}

std::string FrameLine(const std::string& spriteName, int32_t number) {
  std::string digits = FrameNumberText(number);
  return digits + " : " + spriteName + digits;
}

std::string FrameFileName(const std::string& spriteName, int32_t number) {
  return spriteName + FrameNumberText(number) + ".bmp";
}

std::string InFolder(const std::string& folder, const std::string& name, char separator) {
  return folder + separator + name;
}
