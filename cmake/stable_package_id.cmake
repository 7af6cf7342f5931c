# cmake -DJS=page.js -DDATA=page.data -P stable_package_id.cmake
# Emscripten's file packager (3.1.6, Debian 12) writes a fresh random
# "package_uuid" into a page's .js at every link; only its IndexedDB package
# cache reads it, which the pages do not use. That one field made the same
# sources give different bytes: it becomes a UUID-shaped digest of the .data
# file, which still changes exactly when the packaged files do.
file(READ ${JS} js)
string(REGEX MATCHALL "\"package_uuid\":\"[0-9a-f-]+\"" ids "${js}")
list(LENGTH ids count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "${JS}: expected one package_uuid, found ${count}")
endif()
file(SHA256 ${DATA} digest)
string(REGEX REPLACE "^(........)(....)(....)(....)(............).*$" "\\1-\\2-\\3-\\4-\\5" id ${digest})
string(REPLACE "${ids}" "\"package_uuid\":\"${id}\"" js "${js}")
file(WRITE ${JS} "${js}")
