# Read by CMake after its Windows platform files, through the rule override
# that cmake/mingw-w64-x86_64.cmake names: only static libraries are found,
# never a DLL's import library.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
