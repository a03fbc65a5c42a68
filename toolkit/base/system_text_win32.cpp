// Conversions between the program's UTF-8, the process's code page and UTF-16.
#include "toolkit/base/system_text.h"

#include <windows.h>

#include <algorithm>

namespace {

std::wstring ToWide(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  auto length = static_cast<int>(text.size());
  int size = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
  std::wstring wide(static_cast<size_t>(std::max(size, 0)), L'\0');
  if (size > 0) MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), size);
  return wide;
}

std::string FromWide(UINT codePage, std::wstring_view text) {
  if (text.empty()) return {};
  auto length = static_cast<int>(text.size());
  int size = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(std::max(size, 0)), '\0');
  if (size > 0) {
    WideCharToMultiByte(codePage, 0, text.data(), length, narrow.data(), size, nullptr, nullptr);
  }
  return narrow;
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::string SystemText(std::string_view own) {
  // Every code page Windows runs a program in keeps ASCII as it is.
  if (GetACP() == CP_UTF8 || IsAscii(own)) return std::string(own);
  return FromWide(CP_ACP, ToWide(CP_UTF8, own));
}

std::wstring WideFromSystem(std::string_view text) {
  return ToWide(CP_ACP, text);
}

std::string SystemFromWide(std::wstring_view text) {
  return FromWide(CP_ACP, text);
}
