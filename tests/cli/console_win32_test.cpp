// A console shows bytes in its own code page (here 866, a Russian system's
// console code page), whatever the program's: the tools hand it characters.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <gtest/gtest.h>

#include <string>

#include "cli/cli_platform.h"

namespace {

TEST(ConsoleOutput, AConsoleGetsCharactersNotBytes) {
  // Wine gives a program started without a terminal a console nothing can
  // be written to: the test makes a real one.
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  ASSERT_TRUE(SetConsoleOutputCP(866));
  HANDLE screen =
      CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(screen, INVALID_HANDLE_VALUE);
  std::FILE* stream = _fdopen(_open_osfhandle(reinterpret_cast<intptr_t>(screen), _O_WRONLY), "w");
  ASSERT_NE(stream, nullptr);
  CONSOLE_SCREEN_BUFFER_INFO before{};
  ASSERT_TRUE(GetConsoleScreenBufferInfo(screen, &before));

  WriteText(stream, "танк 坦克.shp");
  const std::wstring expected = L"танк 坦克.shp";
  std::wstring shown(expected.size(), L'\0');
  DWORD read = 0;
  ReadConsoleOutputCharacterW(screen, shown.data(), static_cast<DWORD>(shown.size()),
                              before.dwCursorPosition, &read);
  EXPECT_EQ(shown, expected);
  std::fclose(stream);
  FreeConsole();
}

}  // namespace
