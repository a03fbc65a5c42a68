#pragma once

#include <cstddef>
#include <string>
#include <utility>

// The converter's messages on the standard error stream, one line each,
// with an optional progress line that is kept out of their way.
class TConsole {
 public:
  // Every line starts with "<program>: ".
  TConsole(bool showProgress, std::string program = "shp2bmp")
      : showProgress_(showProgress), program_(std::move(program)) {}
  ~TConsole() { ClearProgress(); }
  TConsole(const TConsole&) = delete;
  TConsole& operator=(const TConsole&) = delete;

  // "[index/count] file", rewritten in place.
  void Progress(size_t index, size_t count, const std::string& file);
  void Error(const std::string& subject, const std::string& text);
  void Warning(const std::string& subject, const std::string& text);

 private:
  void Line(const std::string& text);
  void ClearProgress();

  bool showProgress_;
  std::string program_;
  size_t progressWidth_ = 0;  // characters of the progress line on screen
};
