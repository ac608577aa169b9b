# On Windows the system links the real SDK libraries where Linux links platform/.
add_library(platform INTERFACE)
target_compile_definitions(platform INTERFACE UNICODE _UNICODE NOMINMAX)
target_link_libraries(platform INTERFACE d3d9 gdi32 user32 winmm)

if(MINGW)
  # The exe imports only DLLs every Windows has: the C++ run-time, libpng and zlib
  # are linked in.
  set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
  add_link_options(-static $<$<CONFIG:Release>:-s>)
endif()
