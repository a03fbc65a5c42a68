#include "formats/image_magick.h"

#include <sstream>

#include "cli/run_process.h"

TDecodedImage DecodeWithImageMagick(const std::string& folder, const std::string& fileName) {
  TDecodedImage image;
  TProcessResult facts = RunProcess(IDENTIFY_PATH, {"-format", "%w %h %T %D\\n", fileName}, folder);
  TProcessResult verbose = RunProcess(IDENTIFY_PATH, {"-verbose", fileName}, folder);
  TProcessResult pixels =
      RunProcess(CONVERT_PATH, {fileName, "-depth", "8", "rgba:decoded.rgba"}, folder);
  if (facts.ExitCode != 0 || verbose.ExitCode != 0 || pixels.ExitCode != 0) return image;
  std::istringstream lines(facts.Out);
  for (std::string line; std::getline(lines, line);)
    image.Frames.push_back(line);
  image.Verbose = verbose.Out;
  image.Rgba = ReadFileBytes(folder + "/decoded.rgba");
  image.Read = true;
  return image;
}
