# PCRE2, the reference of the matching benchmark and of its equivalence test.
# Optional and native only: without it those two are simply not built.
include_guard(GLOBAL)
if(NOT CMAKE_CROSSCOMPILING)
  find_package(PkgConfig QUIET)
  if(PkgConfig_FOUND)
    pkg_check_modules(PCRE2 QUIET IMPORTED_TARGET GLOBAL libpcre2-8)
  endif()
endif()
