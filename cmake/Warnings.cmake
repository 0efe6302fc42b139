# Compiler settings every target of ours links against.
add_library(marelco_settings INTERFACE)
target_compile_options(marelco_settings INTERFACE -Wall -Wextra -Werror)
target_include_directories(marelco_settings INTERFACE ${PROJECT_SOURCE_DIR})

if(MARELCO_SANITIZE)
  # The standard library checks its own bounds too: an index past the end of an array, a string or a view fails
  # even where the memory beyond it belongs to the same object.
  target_compile_options(marelco_settings INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_definitions(marelco_settings INTERFACE _GLIBCXX_ASSERTIONS)
  target_link_options(marelco_settings INTERFACE -fsanitize=address,undefined)
endif()

if(WIN32)
  # Windows binaries carry their C and C++ run time, so Wine needs no mingw DLLs.
  target_link_options(marelco_settings INTERFACE -static -static-libgcc -static-libstdc++)
  target_compile_definitions(marelco_settings INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
    _WIN32_WINNT=0x0601 WINVER=0x0601)
  # The same sources give the same bytes wherever they are built: paths in the debug information and in
  # __FILE__ are relative to the source and build folders, and the PE headers carry no time of linking.
  target_compile_options(marelco_settings INTERFACE
    -ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
  target_link_options(marelco_settings INTERFACE -Wl,--no-insert-timestamp)
  # Each function and datum in a section of its own, so that the link drops what nothing reaches.
  target_compile_options(marelco_settings INTERFACE -ffunction-sections -fdata-sections)
  target_link_options(marelco_settings INTERFACE -Wl,--gc-sections)
endif()
