# The image libraries, built from Debian's source packages into static
# libraries, with the same sources and flags in every build (the Windows
# program must need no DLLs, and Debian packages them only natively).
# scripts/lib/third_party.sh fetches and patches the sources; zlib comes from
# Debian's packages (zlib1g-dev natively, libz-mingw-w64-dev for Windows).
set(SKARNEL_THIRD_PARTY_DIR ${PROJECT_SOURCE_DIR}/build/third_party
    CACHE PATH "Folder with the unpacked libspng, giflib and nettle sources")

set(spng_dir ${SKARNEL_THIRD_PARTY_DIR}/libspng)
set(gif_dir ${SKARNEL_THIRD_PARTY_DIR}/giflib)
set(nettle_dir ${SKARNEL_THIRD_PARTY_DIR}/nettle)
foreach(file ${spng_dir}/spng/spng.c ${gif_dir}/gif_lib.h ${nettle_dir}/blowfish.c)
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "${file} is missing: run scripts/test (or source scripts/lib/third_party.sh "
                        "and call skarnel_fetch_third_party), or set SKARNEL_THIRD_PARTY_DIR.")
  endif()
endforeach()

if(EMSCRIPTEN)
  # Emscripten's own zlib port downloads its sources; the page is built from
  # Debian's source package like the other libraries.
  set(zlib_dir ${SKARNEL_THIRD_PARTY_DIR}/zlib)
  if(NOT EXISTS ${zlib_dir}/zlib.h)
    message(FATAL_ERROR "${zlib_dir}/zlib.h is missing: run scripts/web.")
  endif()
  add_library(skarnel_zlib STATIC
    ${zlib_dir}/adler32.c ${zlib_dir}/crc32.c ${zlib_dir}/deflate.c ${zlib_dir}/inffast.c
    ${zlib_dir}/inflate.c ${zlib_dir}/inftrees.c ${zlib_dir}/trees.c ${zlib_dir}/zutil.c
    ${zlib_dir}/compress.c ${zlib_dir}/uncompr.c
  )
  target_include_directories(skarnel_zlib SYSTEM PUBLIC ${zlib_dir})
  target_compile_options(skarnel_zlib PRIVATE -w)
elseif(WIN32)
  # The import library would make the program depend on zlib1.dll.
  find_library(SKARNEL_ZLIB NAMES libz.a REQUIRED)
  add_library(skarnel_zlib INTERFACE)
  target_link_libraries(skarnel_zlib INTERFACE ${SKARNEL_ZLIB})
else()
  # The archive, not the shared library: the command-line tools are linked
  # statically whole (cli/CMakeLists.txt).
  find_package(ZLIB REQUIRED)
  find_library(SKARNEL_ZLIB NAMES libz.a REQUIRED)
  add_library(skarnel_zlib INTERFACE)
  target_include_directories(skarnel_zlib INTERFACE ${ZLIB_INCLUDE_DIRS})
  target_link_libraries(skarnel_zlib INTERFACE ${SKARNEL_ZLIB})
endif()

# Third-party code is not ours to keep warning-free; its warnings are hidden.
add_library(skarnel_spng STATIC ${spng_dir}/spng/spng.c)
target_include_directories(skarnel_spng SYSTEM PUBLIC ${spng_dir}/spng)
target_compile_definitions(skarnel_spng PUBLIC SPNG_STATIC)
target_compile_options(skarnel_spng PRIVATE -w)
target_link_libraries(skarnel_spng PUBLIC skarnel_zlib)

add_library(skarnel_gif STATIC
  ${gif_dir}/dgif_lib.c
  ${gif_dir}/egif_lib.c
  ${gif_dir}/gif_hash.c
  ${gif_dir}/gifalloc.c
  ${gif_dir}/gif_err.c
  ${gif_dir}/openbsd-reallocarray.c
)
target_include_directories(skarnel_gif SYSTEM PUBLIC ${gif_dir})
target_compile_options(skarnel_gif PRIVATE -w)

# Nettle, only what archive indexes need: Blowfish, and mini-gmp for the one
# modular power of the key source (no GMP), compiled directly as giflib is.
# Only their headers are copied aside, so that Nettle's other headers
# (version.h, macros.h ...) cannot shadow anyone else's.
file(COPY ${nettle_dir}/blowfish.h ${nettle_dir}/nettle-types.h ${nettle_dir}/mini-gmp.h
     DESTINATION ${CMAKE_BINARY_DIR}/nettle_include/nettle)
add_library(skarnel_nettle STATIC ${nettle_dir}/blowfish.c ${nettle_dir}/mini-gmp.c)
target_include_directories(skarnel_nettle SYSTEM PUBLIC ${CMAKE_BINARY_DIR}/nettle_include)
target_include_directories(skarnel_nettle PRIVATE ${nettle_dir})
target_compile_options(skarnel_nettle PRIVATE -w)

# JSON writing: nlohmann's header-only library from Debian's package
# (nlohmann-json3-dev), the same headers in every build. They are copied
# aside so that the Windows build does not search the host's /usr/include.
find_path(SKARNEL_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
          REQUIRED)
file(COPY ${SKARNEL_JSON_INCLUDE}/nlohmann DESTINATION ${CMAKE_BINARY_DIR}/json_include)
add_library(skarnel_json INTERFACE)
target_include_directories(skarnel_json SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/json_include)
