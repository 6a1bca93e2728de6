# The header-only libraries and GoogleTest for a Windows cross build, taken from the build machine's
# Debian packages without putting its /usr/include (glibc's headers) on the cross compiler's path.
set(_win_include ${CMAKE_BINARY_DIR}/win-include)
file(MAKE_DIRECTORY ${_win_include})
foreach(_dir CLI nlohmann)
  if(NOT EXISTS ${_win_include}/${_dir})
    file(CREATE_LINK /usr/include/${_dir} ${_win_include}/${_dir} SYMBOLIC)
  endif()
endforeach()
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 INTERFACE ${_win_include})
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json INTERFACE ${_win_include})

set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_compile_definitions(_WIN32_WINNT=0x0A00 WIN32_LEAN_AND_MEAN NOMINMAX)
# GCC 12 sees overlapping copies inside its own std::string code where there are none.
add_compile_options(-Wno-restrict)
# One self-contained .exe each: no MinGW runtime DLLs to ship or to find under Wine.
add_link_options(-static -static-libgcc -static-libstdc++)
