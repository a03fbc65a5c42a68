#pragma once

// The program keeps its own texts in UTF-8 and hands them to the ANSI calls,
// which read them in the process's code page. That is UTF-8 where Windows
// honours the manifest's setting (Windows 10 version 1903 and later); older
// systems ignore it and keep their own code page (1251 on a Russian system).
// File names come from the system in the process's code page and go back to
// it unchanged: only the program's own texts are converted. Win32 code only.
#include <string>
#include <string_view>

// The program's own UTF-8 text in the process's code page: unchanged when that
// is UTF-8; characters the code page lacks become its default character.
std::string SystemText(std::string_view own);

// Text in the process's code page, and back, as UTF-16.
std::wstring WideFromSystem(std::string_view text);
std::string SystemFromWide(std::wstring_view text);
