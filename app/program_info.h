#pragma once

// What the program says about itself: the caption of its main window and
// message boxes, and the five values its About box shows.
//
// The program's strings are Windows-1251 bytes. Sources are UTF-8; the app's
// Windows targets are compiled with -fexec-charset=CP1251
// (skarnel_cp1251_strings in app/CMakeLists.txt), so Russian literals come
// out as Windows-1251. A source built without it fails here instead of
// showing garbled text.
static_assert(sizeof("Ж") == 2 && static_cast<unsigned char>("Ж"[0]) == 0xC6,
              "Russian text must be compiled as Windows-1251 (skarnel_cp1251_strings)");

constexpr const char* kProgramName = "Skarnel v1.0";
constexpr const char* kProgramDate = "31 мая 2002г.";
constexpr const char* kAuthorName = "Команда Skarnel";
constexpr const char* kAuthorEmail = "skarnel@example.org";
constexpr const char* kAuthorWeb = "https://example.org/skarnel";
