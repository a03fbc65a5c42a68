#pragma once

// What the program says about itself: the caption of its main window and
// message boxes, and the five values its About box shows.
//
// The program's strings are UTF-8, and every Windows program of the project
// runs with UTF-8 as its ANSI code page (cmake/windows/utf8_code_page.rc), so
// they read right whatever the system's code page; where Windows ignores that
// setting, the toolkit converts them to the system's code page. A source
// compiled to another character set fails here instead of showing garbled
// text.
static_assert(sizeof("Ж") == 3 && static_cast<unsigned char>("Ж"[0]) == 0xD0,
              "Russian text must be compiled as UTF-8");

constexpr const char* kProgramName = "Skarnel v1.0";
constexpr const char* kProgramDate = "31 мая 2002г.";
constexpr const char* kAuthorName = "Команда Skarnel";
constexpr const char* kAuthorEmail = "skarnel@example.org";
constexpr const char* kAuthorWeb = "https://example.org/skarnel";
