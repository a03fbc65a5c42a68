#include "formats/image_magick.h"

#include <sstream>

#include "formats/image_magick_shell.h"

TDecodedImage DecodeWithImageMagick(const std::string& folder, const std::string& fileName) {
  TDecodedImage image;
  std::string name = "'" + fileName + "'";
  bool ran =
      RunShellIn(folder, "/usr/bin/identify -format '%w %h %T %D\\n' " + name + " > facts.txt && " +
                             "/usr/bin/identify -verbose " + name + " > verbose.txt && " +
                             "/usr/bin/convert " + name + " -depth 8 rgba:decoded.rgba");
  if (!ran) return image;
  TBytes facts = ReadFileBytes(folder + "/facts.txt");
  std::istringstream lines(std::string(facts.begin(), facts.end()));
  for (std::string line; std::getline(lines, line);)
    image.Frames.push_back(line);
  TBytes verbose = ReadFileBytes(folder + "/verbose.txt");
  image.Verbose.assign(verbose.begin(), verbose.end());
  image.Rgba = ReadFileBytes(folder + "/decoded.rgba");
  image.Read = true;
  return image;
}
