cmake_minimum_required(VERSION 3.25)
# Fails when a source file under src/ includes a layer that its own layer may
# not use. Run by every build (target puente_layer_check):
#   cmake -DSOURCE_DIR=<top> -P cmake/CheckLayers.cmake
#
# Each layer, and the layers it may include besides itself. The front ends
# (cli, app) may include every layer of the core but not each other; forward
# and return never include each other. Qt Widgets stays in app/: no other
# layer links it, and no other layer may name its headers by their folder
# (<QtWidgets/...>).
set(allowed_common "")
set(allowed_text common)
set(allowed_platform common text)
set(allowed_exchange common text platform)
set(allowed_tablestore common text platform)
set(allowed_run common text platform exchange tablestore)
set(allowed_forward common text platform exchange tablestore run)
set(allowed_return common text platform exchange tablestore run)
set(allowed_cli common text platform exchange tablestore run forward return)
set(allowed_app common text platform exchange tablestore run forward return)
set(layers common text platform exchange tablestore run forward return cli app)

set(faults "")
foreach(layer IN LISTS layers)
  file(GLOB_RECURSE files ${SOURCE_DIR}/src/${layer}/*.h ${SOURCE_DIR}/src/${layer}/*.cpp)
  foreach(file IN LISTS files)
    if(NOT layer STREQUAL "app")
      file(STRINGS ${file} widgets REGEX "^[ \t]*#[ \t]*include[ \t]+<QtWidgets")
      foreach(line IN LISTS widgets)
        file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
        list(APPEND faults "${shown}: only app/ may use Qt Widgets (${line})")
      endforeach()
    endif()
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[a-z]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([a-z]+)/.*$" "\\1" used "${line}")
      if(NOT used STREQUAL layer AND NOT used IN_LIST allowed_${layer})
        file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
        list(APPEND faults "${shown}: ${layer}/ may not include ${used}/ (${line})")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Layer rules broken (see README, Architecture):\n  ${text}")
endif()
