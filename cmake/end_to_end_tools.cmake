# Decides whether the end-to-end tests are built: they start real programs on a virtual X
# display and drive them with the X tools, run the Windows build under wine and check the
# packages, so they need those tools. Unless asked for, they are
# added only where every tool is found; asked for (the test presets do), a missing tool stops
# the configure. Sets VANTREL_BUILD_E2E_TESTS and, per tool, VANTREL_<NAME>_PROGRAM.

set(vantrel_e2e_tools
    # name      program          package
    XVFB_RUN    xvfb-run         xvfb
    XVFB        Xvfb             xvfb
    OPENBOX     openbox          openbox
    XDOTOOL     xdotool          xdotool
    WMCTRL      wmctrl           wmctrl
    XWININFO    xwininfo         x11-utils
    IMPORT      import           imagemagick
    PYTHON3     python3          python3
    DESKTOP_FILE_VALIDATE desktop-file-validate desktop-file-utils
    WINE64      wine64           wine64
    MINGW       x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64-posix
    LINTIAN     lintian          lintian
    APPSTREAMCLI appstreamcli    appstream)

set(vantrel_e2e_missing "")
if(NOT WIN32)
  list(LENGTH vantrel_e2e_tools count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 3)
    math(EXPR j "${i} + 1")
    math(EXPR k "${i} + 2")
    list(GET vantrel_e2e_tools ${i} name)
    list(GET vantrel_e2e_tools ${j} program)
    list(GET vantrel_e2e_tools ${k} package)
    # NOTE: Debian's wine64 keeps its loader in wine's own folder, not on PATH.
    find_program(VANTREL_${name}_PROGRAM ${program} PATHS /usr/lib/wine)
    if(NOT VANTREL_${name}_PROGRAM)
      list(APPEND vantrel_e2e_missing "${program} (${package})")
    endif()
  endforeach()
endif()

if(WIN32)
  set(VANTREL_BUILD_E2E_TESTS OFF)
elseif(NOT DEFINED VANTREL_BUILD_E2E_TESTS)
  if(vantrel_e2e_missing)
    list(JOIN vantrel_e2e_missing ", " missing)
    message(STATUS "Not found: ${missing}: the end-to-end tests are left out "
                   "(VANTREL_BUILD_E2E_TESTS=ON builds them and then requires these)")
    set(default OFF)
  else()
    set(default ON)
  endif()
  option(VANTREL_BUILD_E2E_TESTS "Build the end-to-end tests (virtual display, X tools)"
         ${default})
elseif(VANTREL_BUILD_E2E_TESTS AND vantrel_e2e_missing)
  list(JOIN vantrel_e2e_missing ", " missing)
  message(FATAL_ERROR "VANTREL_BUILD_E2E_TESTS is on, but these are missing: ${missing} "
                      "(tools/setup.sh installs them)")
endif()
