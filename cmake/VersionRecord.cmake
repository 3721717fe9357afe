# The version record every shipped binary carries, filled from the one version
# in project(). pathtagger_version_record(target DESCRIPTION text
# ORIGINAL_FILENAME name) gives the target a resource script of its own; a new
# program needs only this one call.
set(PATHTAGGER_PUBLISHER "PathTagger developers")

function(pathtagger_version_record target)
  cmake_parse_arguments(ARG "" "DESCRIPTION;ORIGINAL_FILENAME" "" ${ARGN})
  if(NOT ARG_DESCRIPTION OR NOT ARG_ORIGINAL_FILENAME)
    message(FATAL_ERROR "pathtagger_version_record(${target}): DESCRIPTION and ORIGINAL_FILENAME are needed")
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(VR_FILE_TYPE VFT_APP)
  else()
    set(VR_FILE_TYPE VFT_DLL)
  endif()
  set(VR_DESCRIPTION "${ARG_DESCRIPTION}")
  set(VR_ORIGINAL_FILENAME "${ARG_ORIGINAL_FILENAME}")
  get_filename_component(VR_INTERNAL_NAME "${ARG_ORIGINAL_FILENAME}" NAME_WE)
  set(VR_PUBLISHER "${PATHTAGGER_PUBLISHER}")
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version/version_record.rc.in ${script} @ONLY)
  target_sources(${target} PRIVATE ${script})
endfunction()
