# GoogleTest for both toolchains: Debian's package natively, its sources for
# the cross build. pathtagger_add_gtest(name SOURCES ... LIBS ...) makes one
# test program; natively each test case is its own CTest test, under Wine the
# whole program is one test so that Wine starts once per program.
enable_testing()
include(GoogleTest)

if(CMAKE_CROSSCOMPILING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest
                   EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()

function(pathtagger_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine
                         TIMEOUT 300 LABELS "wine;${ARG_LABELS}")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                         PROPERTIES LABELS "native;${ARG_LABELS}")
  endif()
endfunction()

# A test that runs a script (bash) with arguments, in either toolchain.
function(pathtagger_add_script_test name)
  cmake_parse_arguments(ARG "" "" "COMMAND;LABELS" ${ARGN})
  add_test(NAME ${name} COMMAND ${ARG_COMMAND})
  if(CMAKE_CROSSCOMPILING)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine
                         TIMEOUT 300 LABELS "wine;${ARG_LABELS}")
  else()
    set_tests_properties(${name} PROPERTIES LABELS "native;${ARG_LABELS}")
  endif()
endfunction()

if(CMAKE_CROSSCOMPILING)
  set(_session env WINEPREFIX=${PATHTAGGER_WINE_PREFIX}
      PATHTAGGER_WINE_SESSION=${PATHTAGGER_WINE_SESSION}
      PATHTAGGER_WINE_ARCH=${PATHTAGGER_WINE_ARCH}
      ${PROJECT_SOURCE_DIR}/cmake/wine/session)
  add_test(NAME wine_session_up COMMAND ${_session} up)
  add_test(NAME wine_session_down COMMAND ${_session} down)
  set_tests_properties(wine_session_up PROPERTIES FIXTURES_SETUP wine TIMEOUT 300
                       LABELS wine)
  set_tests_properties(wine_session_down PROPERTIES FIXTURES_CLEANUP wine
                       LABELS wine)
endif()
