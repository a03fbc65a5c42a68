#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// A line held back until the lines of the files before it are out: for
// the standard output (text as is) or the standard error stream.
struct TConsoleLine {
  bool ToStdout = false;
  std::string Text;
};

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
  // Text for the standard output, as it is (kept, when recorded, without a copy).
  void Out(std::string text);

  // Keeps every line and text in `lines` instead of printing it.
  void RecordInto(std::vector<TConsoleLine>* lines) { record_ = lines; }
  // Prints what another console recorded, in its order.
  void Replay(const std::vector<TConsoleLine>& lines);

 private:
  void Line(const std::string& text);
  void ClearProgress();

  bool showProgress_;
  std::string program_;
  size_t progressWidth_ = 0;  // characters of the progress line on screen
  std::vector<TConsoleLine>* record_ = nullptr;
};
