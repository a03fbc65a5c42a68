# Project-wide compile settings shared by every target.
# The tests need GoogleTest's sources (Debian's /usr/src/googletest by
# default); a plain build of the program and the converter does without.
option(SKARNEL_TESTS "Build the tests, the benchmark and the demo generator" ON)
set(SKARNEL_GTEST_DIR /usr/src/googletest CACHE PATH "GoogleTest's source folder")
option(SKARNEL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(SKARNEL_FUZZ "Build the libFuzzer targets (clang only)" OFF)
option(SKARNEL_WERROR "Treat warnings as errors (the scripts build this way)" OFF)
option(SKARNEL_BENCH "Build the benchmarks (needs Google Benchmark)" OFF)

function(skarnel_target_defaults target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(SKARNEL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(WIN32)
    # The program calls the ANSI entry points throughout; their text is UTF-8.
    target_compile_definitions(${target} PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
    # Every program (tests too) runs with UTF-8 as its ANSI code page, but
    # one made to try what Windows versions that ignore the setting show
    # (target property SKARNEL_SYSTEM_CODE_PAGE).
    get_target_property(type ${target} TYPE)
    get_target_property(systemCodePage ${target} SKARNEL_SYSTEM_CODE_PAGE)
    if(type STREQUAL "EXECUTABLE" AND NOT systemCodePage)
      target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/windows/utf8_code_page.rc)
    endif()
  endif()
endfunction()

if(SKARNEL_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

if(SKARNEL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

if(EMSCRIPTEN)
  # WebAssembly's 128-bit vectors carry the decoder's SSE2 path, which
  # emscripten translates, and bulk memory makes the clearing and copying of
  # rows single instructions; every current browser runs both.
  add_compile_options(-msimd128 -msse2 -mbulk-memory)
  add_link_options(-mbulk-memory)
endif()
