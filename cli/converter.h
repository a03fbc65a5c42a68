#pragma once

#include <string>
#include <vector>

// Exit statuses of shp2bmp.
constexpr int kConvertedAll = 0;
constexpr int kFileFailed = 1;
constexpr int kUsageError = 2;

struct TConverterOptions;

// Runs the converter on the arguments after the program name; answers the
// exit status.
int RunShp2Bmp(const std::vector<std::string>& args);

// Converts (or with Info, describes) the files of parsed options; messages
// start with "<program>: ". Answers the exit status.
int RunConversion(const TConverterOptions& options, const std::string& program);

// The same with every line going to `console`.
class TConsole;
int RunConversion(const TConverterOptions& options, const std::string& program, TConsole& console);
