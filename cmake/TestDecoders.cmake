# Small decoder plugins for tests, and a way to give a test program a host
# folder of its own whose decoder folder holds them. The catalogue is built
# once per process from "<program folder>\Multiplayer\Input\", so each such
# program lives in its own folder.
include_guard(GLOBAL)

set(_plugins ${PROJECT_SOURCE_DIR}/tests/decoders/plugins)
set(_dll_dir ${CMAKE_BINARY_DIR}/test-decoders)

function(_pathtagger_test_decoder name source)
  add_library(${name} SHARED ${_plugins}/${source})
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name}
                        RUNTIME_OUTPUT_DIRECTORY ${_dll_dir})
  target_compile_definitions(${name} PRIVATE ${ARGN})
endfunction()

_pathtagger_test_decoder(ExportsNothing exports_nothing.cpp)
_pathtagger_test_decoder(NoFormats no_formats.cpp)
_pathtagger_test_decoder(SharedPlain shared_extension.cpp)
_pathtagger_test_decoder(SharedTagging shared_extension.cpp WITH_SET_TAG)
_pathtagger_test_decoder(Endless endless.cpp)
_pathtagger_test_decoder(Recording recording.cpp)
_pathtagger_test_decoder(Ending ending.cpp)
_pathtagger_test_decoder(UcrtEnding ending.cpp)
# Its abort from ucrtbase, ahead of the default run-time in the link.
target_link_libraries(UcrtEnding PRIVATE ucrtbase)
# Cached: the guard skips this file in every later folder that includes it.
set(PATHTAGGER_TEST_DECODERS ExportsNothing NoFormats SharedPlain SharedTagging
    Endless Recording CACHE INTERNAL "The test decoder plugins")

# Moves the test program into a folder of its own and copies the test
# decoders (or those named) into its decoder folder.
function(pathtagger_stage_test_decoders target)
  set(decoders ${ARGN})
  if(NOT decoders)
    set(decoders ${PATHTAGGER_TEST_DECODERS})
  endif()
  set(host ${CMAKE_CURRENT_BINARY_DIR}/${target}-host)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${host})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${host}/Multiplayer
    COMMAND ${CMAKE_COMMAND} -E make_directory ${host}/Multiplayer/Input)
  foreach(decoder ${decoders})
    add_dependencies(${target} ${decoder})
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${decoder}> ${host}/Multiplayer/Input/)
  endforeach()
endfunction()

# Keeps a copy of PathTagger.dll in the test program's host folder, made anew
# whenever the DLL is rebuilt, not only when the test program relinks.
function(pathtagger_stage_plugin target)
  set(copy ${CMAKE_CURRENT_BINARY_DIR}/${target}-host/PathTagger.dll)
  add_custom_command(OUTPUT ${copy}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:PathTagger> ${copy}
    DEPENDS PathTagger $<TARGET_FILE:PathTagger>)
  add_custom_target(${target}_plugin ALL DEPENDS ${copy})
  add_dependencies(${target} ${target}_plugin)
endfunction()
