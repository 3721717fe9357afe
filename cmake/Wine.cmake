# Windows programs built here run under Wine, in a private prefix inside the
# build folder, through a small launcher that creates the prefix on first use.
set(PATHTAGGER_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(PATHTAGGER_WINE_SESSION ${CMAKE_BINARY_DIR}/wine-session)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(PATHTAGGER_WINE_ARCH win64)
else()
  set(PATHTAGGER_WINE_ARCH win32)
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/wine/run.in
               ${CMAKE_BINARY_DIR}/wine-run @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
                                GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
