// shptool: describes, exports and encodes SHP sprite files.
#include <string>
#include <vector>

#include "cli/shptool.h"

int main(int argc, char** argv) {
  return RunShpTool(std::vector<std::string>(argv + 1, argv + argc));
}
