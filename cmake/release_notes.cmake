# cmake -DCHANGELOG=CHANGELOG.md -DCOMMIT=HASH -DCOMMIT_DATE=DATE -DOUTPUT=RELEASE.md -P release_notes.cmake
# Writes a release's notes (scripts/release): the newest version of the
# changelog, the commit it is built from with the commit's date, and that
# version's notes as they stand in the changelog.
include(${CMAKE_CURRENT_LIST_DIR}/changelog.cmake)
vantor_read_changelog(${CHANGELOG})
list(GET VANTOR_RELEASES 0 version)
list(LENGTH VANTOR_RELEASES count)
if(count GREATER 1)
  list(GET VANTOR_RELEASES 1 previous)
  set(since "Changes since ${previous}")
else()
  set(since "Changes (the first release)")
endif()
set(text "# vantor ${version}\n\nBuilt from commit ${COMMIT} of ${COMMIT_DATE}.\n\n## ${since}\n\n")
foreach(n RANGE 1 ${VANTOR_NOTES_${version}})
  string(REPLACE "\n" "\n  " note "${VANTOR_NOTE_${version}_${n}}")
  string(APPEND text "- ${note}\n")
endforeach()
string(APPEND text "
## Downloads

- `vantor_${version}_amd64.deb`: the Debian 12 package (`sudo apt install ./vantor_${version}_amd64.deb`)
- `vantor-${version}-setup.exe`: the Windows installer
- `vantor-${version}-windows.zip`: the portable Windows copy
- `vantor-web-${version}.zip`: the browser version, for any static web host
- `vantor-${version}.tar.gz`: the source

`sha256sum -c SHA256SUMS` checks them. Built again from the same commit with
`scripts/release`, every file is the same byte for byte.
")
file(WRITE ${OUTPUT} "${text}")
