# Writes the service worker from its template: the site's files (SITE_DIR,
# FILES relative to it) and a hash over their names and contents.
# cmake -DSITE_DIR=... -DFILES=a;b -DTEMPLATE=sw.js.in -DOUTPUT=sw.js -P service_worker.cmake
set(listing "")
set(quoted "'./'")
foreach(file IN LISTS FILES)
  file(SHA256 ${SITE_DIR}/${file} hash)
  string(APPEND listing "${file} ${hash}\n")
  string(APPEND quoted ", '${file}'")
endforeach()
string(SHA256 SITE_HASH "${listing}")
string(SUBSTRING ${SITE_HASH} 0 16 SITE_HASH)
set(SITE_FILES ${quoted})
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
