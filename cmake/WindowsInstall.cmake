# The Windows installation: both programs in one folder with the Qt and
# libxml2 DLLs they need, ready to copy beside Horalis.
#
#   cmake --install build --prefix C:/PuenteHoralisZelta --config Release
#
# windeployqt adds Qt's DLLs and plugins (the platform plugin qwindows.dll
# above all); the other DLLs (libxml2 and what it needs) are found by
# CMake's runtime-dependency scan in the build's bin folder, where vcpkg
# copies them.

set(puente_programs)
foreach(program PuenteHoralisZelta puente)
  if(TARGET ${program})
    list(APPEND puente_programs ${program})
  endif()
endforeach()

install(TARGETS ${puente_programs}
  RUNTIME_DEPENDENCIES
    PRE_EXCLUDE_REGEXES "^api-ms-" "^ext-ms-"
    POST_EXCLUDE_REGEXES ".*[Ss]ystem32/.*\\.dll$"
    DIRECTORIES "${CMAKE_BINARY_DIR}/bin" "$<TARGET_FILE_DIR:Qt6::Core>"
  RUNTIME DESTINATION .)

# Qt's own bin folder, or vcpkg's tools/Qt6/bin.
find_program(PUENTE_WINDEPLOYQT NAMES windeployqt windeployqt6
  HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}" "${QT6_INSTALL_PREFIX}/tools/Qt6/bin")
if(NOT PUENTE_WINDEPLOYQT)
  message(WARNING "windeployqt not found: the installation will lack Qt's DLLs and plugins")
elseif(TARGET PuenteHoralisZelta)
  install(CODE "
    execute_process(
      COMMAND \"${PUENTE_WINDEPLOYQT}\" --no-translations --no-compiler-runtime
              \"\${CMAKE_INSTALL_PREFIX}/PuenteHoralisZelta.exe\"
      COMMAND_ERROR_IS_FATAL ANY)
  ")
endif()
