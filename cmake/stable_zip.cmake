# cmake -DOUTPUT=ZIP -DBASE_DIR=DIR "-DFILES=a;b/c" -DEPOCH=SECONDS -P stable_zip.cmake
# Packs FILES (relative to BASE_DIR, in the order given) into ZIP so that the
# same files give the same bytes whoever packs them, where and when: each
# entry is a copy with mode 644 and the time EPOCH (UTC), without the
# owner's ids or extra time fields (zip -X) and without directory entries.
foreach(var OUTPUT BASE_DIR FILES EPOCH)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "stable_zip.cmake needs -D${var}=")
  endif()
endforeach()
set(stage ${OUTPUT}.files)
file(REMOVE_RECURSE ${stage} ${OUTPUT})
foreach(name IN LISTS FILES)
  get_filename_component(dir "${stage}/${name}" DIRECTORY)
  file(MAKE_DIRECTORY "${dir}")
  file(COPY_FILE "${BASE_DIR}/${name}" "${stage}/${name}")
  file(CHMOD "${stage}/${name}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endforeach()
execute_process(COMMAND touch -h -d @${EPOCH} -- ${FILES} WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC LC_ALL=C zip -X -D -q ${OUTPUT} ${FILES}
                WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${stage})
