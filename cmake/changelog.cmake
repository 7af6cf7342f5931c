# Reads CHANGELOG.md, the one place for the project's versions and their notes.
# An entry starts with "## VERSION - YYYY-MM-DD"; its notes are "- " items,
# continued on lines indented by two spaces.
#
# vantor_read_changelog(FILE) sets, in the caller's scope:
#   VANTOR_RELEASES           the versions, newest first
#   VANTOR_DATE_<version>     its date, YYYY-MM-DD
#   VANTOR_NOTES_<version>    how many notes it has
#   VANTOR_NOTE_<version>_<n> the n-th note (from 1), its lines joined by "\n"
function(vantor_read_changelog file)
  file(STRINGS ${file} lines ENCODING UTF-8)
  set(releases)
  set(version)
  foreach(line IN LISTS lines)
    if(line MATCHES "^## ([0-9]+\\.[0-9]+\\.[0-9]+) - ([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])$")
      set(version ${CMAKE_MATCH_1})
      list(APPEND releases ${version})
      set(VANTOR_DATE_${version} ${CMAKE_MATCH_2} PARENT_SCOPE)
      set(count 0)
    elseif(line MATCHES "^## ")
      message(FATAL_ERROR "${file}: an entry must start with \"## VERSION - YYYY-MM-DD\": ${line}")
    elseif(version AND line MATCHES "^- (.*)$")
      math(EXPR count "${count} + 1")
      set(note_${count} "${CMAKE_MATCH_1}")
      set(VANTOR_NOTES_${version} ${count} PARENT_SCOPE)
      set(VANTOR_NOTE_${version}_${count} "${note_${count}}" PARENT_SCOPE)
    elseif(version AND count GREATER 0 AND line MATCHES "^  (.*)$")
      string(APPEND note_${count} "\n${CMAKE_MATCH_1}")
      set(VANTOR_NOTE_${version}_${count} "${note_${count}}" PARENT_SCOPE)
    endif()
  endforeach()
  if(NOT releases)
    message(FATAL_ERROR "${file} has no entry \"## VERSION - YYYY-MM-DD\"")
  endif()
  set(VANTOR_RELEASES ${releases} PARENT_SCOPE)
endfunction()

# Seconds since 1970 of midnight UTC on DATE (YYYY-MM-DD), and its weekday's
# English abbreviation, by the civil-from-days count of the proleptic
# Gregorian calendar.
function(vantor_date_epoch date out_epoch out_weekday)
  string(REGEX MATCH "^([0-9]+)-0*([0-9]+)-0*([0-9]+)$" _ ${date})
  set(y ${CMAKE_MATCH_1})
  set(m ${CMAKE_MATCH_2})
  set(d ${CMAKE_MATCH_3})
  if(m LESS_EQUAL 2)
    math(EXPR y "${y} - 1")
  endif()
  math(EXPR era "${y} / 400")
  math(EXPR yoe "${y} - ${era} * 400")
  math(EXPR mp "(${m} + 9) % 12")
  math(EXPR doy "(153 * ${mp} + 2) / 5 + ${d} - 1")
  math(EXPR doe "${yoe} * 365 + ${yoe} / 4 - ${yoe} / 100 + ${doy}")
  math(EXPR days "${era} * 146097 + ${doe} - 719468")
  math(EXPR epoch "${days} * 86400")
  math(EXPR weekday "(${days} + 4) % 7")
  list(GET _vantor_weekdays ${weekday} name)
  set(${out_epoch} ${epoch} PARENT_SCOPE)
  set(${out_weekday} ${name} PARENT_SCOPE)
endfunction()
set(_vantor_weekdays Sun Mon Tue Wed Thu Fri Sat)
