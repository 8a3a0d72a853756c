# Installation and packages. Included last from CMakeLists.txt.
#
# Linux (and other Unix): the two programs in bin/, the desktop entry, the
# icon (SVG and PNG), the man page of puente, its bash completion, the Wine
# starter for Horalis (when MinGW-w64 is there), and the Spanish help (docs/ayuda/ayuda.html when it exists at configure time, with
# the user guide) in share/puentehoraliszelta/ayuda/. `cmake --build build
# --target package` makes a Debian package of it with CPack.
#
# Windows: cmake/WindowsInstall.cmake (included before this file) lays out
# one folder with the DLLs; the help and the guide go beside the programs,
# and CPack's NSIS generator makes an installer of it.

set(PUENTE_PACKAGE_NAME puentehoraliszelta)
set(puente_dist ${CMAKE_CURRENT_LIST_DIR}/../dist)
cmake_path(NORMAL_PATH puente_dist)
set(puente_help_page ${CMAKE_SOURCE_DIR}/docs/ayuda/ayuda.html)
set(puente_guide ${CMAKE_SOURCE_DIR}/docs/guia-usuario.md)

if(WIN32)
  if(EXISTS ${puente_help_page})
    install(FILES ${puente_help_page} DESTINATION ayuda)
  endif()
  install(FILES ${puente_guide} DESTINATION ayuda)
else()
  include(GNUInstallDirs)
  install(TARGETS puente PuenteHoralisZelta RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  install(FILES ${puente_dist}/puentehoraliszelta.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${puente_dist}/icons/puentehoraliszelta.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 32 48 64 128 256)
    install(FILES ${puente_dist}/icons/puentehoraliszelta-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME puentehoraliszelta.png)
  endforeach()
  install(FILES ${puente_dist}/puente.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${puente_dist}/puente.bash-completion
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME puente)

  set(puente_help_dir ${CMAKE_INSTALL_DATADIR}/${PUENTE_PACKAGE_NAME}/ayuda)
  if(EXISTS ${puente_help_page})
    install(FILES ${puente_help_page} DESTINATION ${puente_help_dir})
  else()
    message(STATUS "docs/ayuda/ayuda.html not there yet: the installation carries only the user guide")
  endif()
  install(FILES ${puente_guide} DESTINATION ${puente_help_dir})
  # The Windows-side starter for Horalis under Wine (dist/wine/lanzador.c),
  # when a MinGW-w64 C compiler is there: Horalis's folder gets it as
  # PuenteHoralisZelta.exe beside a copy of the Linux program (user guide).
  find_program(PUENTE_MINGW_CC NAMES x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-gcc)
  if(PUENTE_MINGW_CC)
    set(puente_starter ${CMAKE_BINARY_DIR}/wine/PuenteHoralisZelta.exe)
    add_custom_command(OUTPUT ${puente_starter}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/wine
      COMMAND ${PUENTE_MINGW_CC} -O2 -s -Wall -Wextra -Werror -municode -mwindows -o ${puente_starter}
              ${puente_dist}/wine/lanzador.c
      DEPENDS ${puente_dist}/wine/lanzador.c
      COMMENT "Building the Wine starter PuenteHoralisZelta.exe"
      VERBATIM)
    add_custom_target(puente_wine_starter ALL DEPENDS ${puente_starter})
    install(PROGRAMS ${puente_starter} DESTINATION ${CMAKE_INSTALL_DATADIR}/${PUENTE_PACKAGE_NAME}/wine)
  else()
    message(STATUS "No MinGW-w64 C compiler: the installation carries no Wine starter")
  endif()
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/samples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/${PUENTE_PACKAGE_NAME}/ejemplo
          FILES_MATCHING PATTERN "centro.xml" PATTERN "SOLUC.DBF")
endif()

# Packages
set(CPACK_PACKAGE_NAME ${PUENTE_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR "PuenteHoralisZelta")
set(CPACK_PACKAGE_CONTACT "PuenteHoralisZelta <puentehoraliszelta@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Puente entre ZELTA y Horalis (documento de intercambio XML y tablas dBase)")
set(CPACK_PACKAGE_DESCRIPTION
    "Convierte el documento de intercambio de ZELTA en las tablas de Horalis y el horario de Horalis\n"
    "en el documento de resultado para ZELTA. Incluye la ventana PuenteHoralisZelta y la herramienta\n"
    "sin ventana puente.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY PuenteHoralisZelta)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR NSIS)
  set(CPACK_NSIS_PACKAGE_NAME "PuenteHoralisZelta")
  set(CPACK_NSIS_DISPLAY_NAME "PuenteHoralisZelta ${PROJECT_VERSION}")
  set(CPACK_NSIS_INSTALL_ROOT "C:")
  set(CPACK_NSIS_MUI_ICON "${puente_dist}/icons/puentehoraliszelta.ico")
  if(NOT EXISTS ${CPACK_NSIS_MUI_ICON})
    unset(CPACK_NSIS_MUI_ICON)
  endif()
  set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
  set(CPACK_PACKAGE_EXECUTABLES PuenteHoralisZelta "PuenteHoralisZelta")
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION education)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The libraries the programs link (Qt, libxml2, the C++ runtime) found by
  # dpkg-shlibdeps; besides them, Qt's Spanish translations for the standard
  # dialogs and Qt's platform plugins, without which the window cannot open.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, qt6-qpa-plugins")
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "wine")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

include(CPack)
