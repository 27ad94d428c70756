# Install-time part of the desktop entry (program/CMakeLists.txt): written when the prefix is
# known, so Exec names the installed game by its full path whatever --prefix was given.
# Expects VANTREL_DESKTOP_STAGING (a folder of the build tree), VANTREL_BINDIR,
# VANTREL_DATADIR (relative to the prefix or absolute) and the product's name and author.

function(vantrel_absolute_install_dir dir result)
  if(IS_ABSOLUTE "${dir}")
    set(${result} "${dir}" PARENT_SCOPE)
  else()
    set(${result} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
  endif()
endfunction()

vantrel_absolute_install_dir("${VANTREL_BINDIR}" bindir)
vantrel_absolute_install_dir("${VANTREL_DATADIR}" datadir)
set(game "${bindir}/VantrelGame")
if(game MATCHES "[\n\r\t]")
  message(FATAL_ERROR "A desktop entry cannot name a program whose path holds a line break "
                      "or a tab: ${game}")
endif()

# Exec: one argument in double quotes, where ", `, $ and \ take a backslash; then the
# string-level escape doubles every backslash, and % is doubled as field codes require.
string(REPLACE "\\" "\\\\" exec "${game}")
string(REPLACE "\"" "\\\"" exec "${exec}")
string(REPLACE "`" "\\`" exec "${exec}")
string(REPLACE "$" "\\$" exec "${exec}")
set(exec "\"${exec}\"")
string(REPLACE "\\" "\\\\" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")
# TryExec is a plain string: only the backslash is escaped.
string(REPLACE "\\" "\\\\" try_exec "${game}")

file(WRITE "${VANTREL_DESKTOP_STAGING}/vantrel-game.desktop"
"[Desktop Entry]
Type=Application
Version=1.4
Name=${VANTREL_PRODUCT_NAME}
GenericName=Epidemic game
Comment=Stop an outbreak with the mouse: left click quarantines, right click infects
Exec=${exec}
TryExec=${try_exec}
Icon=vantrel-game
Terminal=false
Categories=Game;Simulation;
Keywords=epidemic;outbreak;quarantine;${VANTREL_AUTHOR};
StartupWMClass=VantrelGame
")
file(INSTALL DESTINATION "${datadir}/applications" TYPE FILE
     FILES "${VANTREL_DESKTOP_STAGING}/vantrel-game.desktop")
