# For a cross build: the packs and the three maps are built natively (a cross
# build cannot run assetgen or vantormap) and taken from VANTOR_HOST_RUN_DIR.
set(VANTOR_HOST_RUN_DIR "" CACHE PATH "The native build's player's folder, with the packs and maps")
if(NOT EXISTS "${VANTOR_HOST_RUN_DIR}/vantor.pak")
  message(FATAL_ERROR "VANTOR_HOST_RUN_DIR must be a native build's run/ folder with the packs and maps")
endif()

# Copies the packs and maps into VANTOR_RUN_DIR (and the maps also into each
# of the extra folders given), whenever the native build made them anew;
# the copies made are listed in host_data_copies.
function(vantor_copy_host_data)
  set(copied)
  foreach(pack vantor.pak vantoredit.pak)
    add_custom_command(OUTPUT ${VANTOR_RUN_DIR}/${pack}
      COMMAND ${CMAKE_COMMAND} -E copy ${VANTOR_HOST_RUN_DIR}/${pack} ${VANTOR_RUN_DIR}/${pack}
      DEPENDS ${VANTOR_HOST_RUN_DIR}/${pack} VERBATIM)
    list(APPEND copied ${VANTOR_RUN_DIR}/${pack})
  endforeach()
  foreach(n 1 2 3)
    set(map "map ${n}.map")
    set(outputs "${VANTOR_RUN_DIR}/maps/${map}")
    set(commands COMMAND ${CMAKE_COMMAND} -E copy "${VANTOR_HOST_RUN_DIR}/maps/${map}" "${VANTOR_RUN_DIR}/maps/${map}")
    foreach(dir ${ARGN})
      list(APPEND outputs "${dir}/${map}")
      list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy "${VANTOR_HOST_RUN_DIR}/maps/${map}" "${dir}/${map}")
    endforeach()
    add_custom_command(OUTPUT ${outputs} ${commands} DEPENDS "${VANTOR_HOST_RUN_DIR}/maps/${map}" VERBATIM)
    list(APPEND copied ${outputs})
  endforeach()
  set(host_data_copies ${copied} PARENT_SCOPE)
endfunction()
