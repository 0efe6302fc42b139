# GoogleTest: the installed package natively, built from its sources for Windows.
if(WIN32)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# marelco_add_test(NAME sources... LIBS libs...)
# Natively each test case is its own CTest test; under Wine one process runs the whole executable,
# since starting a Wine process costs far more than a test case.
function(marelco_add_test name)
  cmake_parse_arguments(arg "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE marelco_settings GTest::gtest_main GTest::gmock ${arg_LIBS})
  if(WIN32)
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
