// shp2bmp: converts the frames of SHP sprite files into 8-bit BMP files.
#include <string>
#include <vector>

#include "cli/converter.h"

int main(int argc, char** argv) {
  return RunShp2Bmp(std::vector<std::string>(argv + 1, argv + argc));
}
