#include "cli/console.h"

#include <cstdio>

#include "cli/cli_platform.h"

void TConsole::Progress(size_t index, size_t count, const std::string& file) {
  if (!showProgress_) return;
  std::string text = "[" + std::to_string(index) + "/" + std::to_string(count) + "] " + file;
  if (text.size() > 79) text = text.substr(0, 76) + "...";
  // Spaces cover what is left of a longer previous line.
  if (text.size() < progressWidth_) text += std::string(progressWidth_ - text.size(), ' ');
  WriteText(stderr, "\r" + text);
  progressWidth_ = text.size();
}

void TConsole::Error(const std::string& subject, const std::string& text) {
  Line(program_ + ": " + (subject.empty() ? "" : subject + ": ") + text);
}

void TConsole::Warning(const std::string& subject, const std::string& text) {
  Line(program_ + ": " + subject + ": warning: " + text);
}

void TConsole::Out(std::string text) {
  if (record_) return record_->push_back({true, std::move(text)});
  WriteText(stdout, text);
  std::fflush(stdout);
}

void TConsole::Replay(const std::vector<TConsoleLine>& lines) {
  for (const TConsoleLine& line : lines) {
    if (line.ToStdout) {
      Out(line.Text);
    } else {
      Line(line.Text);
    }
  }
}

void TConsole::Line(const std::string& text) {
  if (record_) return record_->push_back({false, text});
  ClearProgress();
  WriteText(stderr, text + "\n");
}

void TConsole::ClearProgress() {
  if (progressWidth_ == 0) return;
  WriteText(stderr, "\r" + std::string(progressWidth_, ' ') + "\r");
  progressWidth_ = 0;
}
