# PathTagger's icon, rendered from its drawing (packaging/icon/pathtagger.svg)
# at the sizes Windows asks for: 16 to 48 pixels for title bars, lists and
# Alt+Tab, and 256 (kept as PNG inside the icon) for large views. Binaries
# that show it depend on the target pathtagger_icon and find the file as
# PATHTAGGER_ICON; pathtagger_use_icon(target script.rc) lets the target's
# resource script name it as "pathtagger.ico".
find_program(PATHTAGGER_RSVG_CONVERT rsvg-convert REQUIRED)  # librsvg2-bin
find_program(PATHTAGGER_ICOTOOL icotool REQUIRED)            # icoutils

set(_drawing ${PROJECT_SOURCE_DIR}/packaging/icon/pathtagger.svg)
set(_dir ${CMAKE_BINARY_DIR}/icon)
set(PATHTAGGER_ICON ${_dir}/pathtagger.ico)
set(_small "")
set(_commands "")
foreach(size 16 24 32 48 256)
  list(APPEND _commands COMMAND ${PATHTAGGER_RSVG_CONVERT} -w ${size} -h ${size}
       -o ${_dir}/${size}.png ${_drawing})
  if(NOT size EQUAL 256)
    list(APPEND _small ${_dir}/${size}.png)
  endif()
endforeach()
add_custom_command(OUTPUT ${PATHTAGGER_ICON}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_dir}
  ${_commands}
  COMMAND ${PATHTAGGER_ICOTOOL} -c -o ${PATHTAGGER_ICON} ${_small} -r ${_dir}/256.png
  DEPENDS ${_drawing}
  COMMENT "Rendering the icon"
  VERBATIM)
add_custom_target(pathtagger_icon DEPENDS ${PATHTAGGER_ICON})

function(pathtagger_use_icon target script)
  target_sources(${target} PRIVATE ${script})
  add_dependencies(${target} pathtagger_icon)
  target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/icon)
  set_source_files_properties(${script} PROPERTIES OBJECT_DEPENDS ${PATHTAGGER_ICON})
endfunction()
