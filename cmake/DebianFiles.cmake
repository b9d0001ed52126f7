# The files a Debian package carries beside the program, made from the project's own: the
# copyright file in Debian's machine-readable format from LICENSE, and the Debian changelog from
# CHANGELOG.md (whose lines are kept to 76 columns, so that its indented items fit 80). Both are
# remade whenever their sources change.

# The day of the week ("Sun") of a date "YYYY-MM-DD", as Debian's changelog dates name it.
function(tablemend_day_of_week date result)
  string(REGEX MATCH "^([0-9]+)-([0-9]+)-([0-9]+)$" _ "${date}")
  set(year ${CMAKE_MATCH_1})
  math(EXPR month "${CMAKE_MATCH_2}")
  math(EXPR day "${CMAKE_MATCH_3}")
  set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
  math(EXPR index "${month} - 1")
  list(GET offsets ${index} offset)
  if(month LESS 3)
    math(EXPR year "${year} - 1")
  endif()
  math(EXPR weekday "(${year} + ${year} / 4 - ${year} / 100 + ${year} / 400 + ${offset} + ${day}) % 7")
  set(names Sun Mon Tue Wed Thu Fri Sat)
  list(GET names ${weekday} name)
  set(${result} "${name}" PARENT_SCOPE)
endfunction()

# Writes the Debian changelog: each "## VERSION (YYYY-MM-DD)" section of CHANGELOG.md becomes an
# entry, its "- " items the entry's "  * " items. Each entry is a minute earlier in the day than
# the one above it, so that of two releases made on the same day the newer has the later time,
# as Debian's tools require.
function(tablemend_write_debian_changelog source destination maintainer)
  file(STRINGS "${source}" lines ENCODING UTF-8)
  set(text "")
  set(trailer "")
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  set(minute_of_day 1439)
  foreach(line IN LISTS lines)
    if(line MATCHES "^## ([^ ]+) \\(([0-9]+)-([0-9]+)-([0-9]+)\\)$")
      set(version ${CMAKE_MATCH_1})
      set(year ${CMAKE_MATCH_2})
      set(day ${CMAKE_MATCH_4})
      set(date "${CMAKE_MATCH_2}-${CMAKE_MATCH_3}-${CMAKE_MATCH_4}")
      math(EXPR month_index "${CMAKE_MATCH_3} - 1")
      list(GET months ${month_index} month)
      tablemend_day_of_week("${date}" weekday)
      math(EXPR hour "${minute_of_day} / 60")
      math(EXPR minute "${minute_of_day} % 60")
      string(REGEX REPLACE "^([0-9])$" "0\\1" hour "${hour}")
      string(REGEX REPLACE "^([0-9])$" "0\\1" minute "${minute}")
      math(EXPR minute_of_day "${minute_of_day} - 1")
      string(APPEND text "${trailer}tablemend (${version}) unstable; urgency=medium\n\n")
      set(trailer "\n -- ${maintainer}  ${weekday}, ${day} ${month} ${year} ${hour}:${minute}:00 +0000\n\n")
    elseif(line MATCHES "^- (.*)$")
      string(APPEND text "  * ${CMAKE_MATCH_1}\n")
    elseif(line MATCHES "^  (.+)$")
      string(APPEND text "    ${CMAKE_MATCH_1}\n")
    endif()
  endforeach()
  string(REGEX REPLACE "\n\n$" "\n" trailer "${trailer}")
  file(WRITE "${destination}" "${text}${trailer}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${source}")
endfunction()

# Writes the copyright file: the copyright line and the licence text both come from LICENSE.
function(tablemend_write_debian_copyright source destination contact)
  file(READ "${source}" licence)
  string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" _ "${licence}")
  set(holder "${CMAKE_MATCH_1}")
  string(REGEX REPLACE "^.*\n\n(Permission)" "\\1" body "${licence}")
  string(REGEX REPLACE "\n+$" "" body "${body}")
  string(REPLACE "\n\n" "\n.\n" body "${body}")
  string(REPLACE "\n" "\n " body "${body}")
  file(WRITE "${destination}"
       "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
       "Upstream-Name: Tablemend\n"
       "Upstream-Contact: ${contact}\n\n"
       "Files: *\n"
       "Copyright: ${holder}\n"
       "License: Expat\n"
       " ${body}\n")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${source}")
endfunction()

# Compresses a file as Debian wants it: gzip at its best, without a name or a time stamp in the
# header, so that the package is the same from build to build.
function(tablemend_gzip_for_debian source output)
  add_custom_command(
    OUTPUT "${output}"
    COMMAND gzip -n -9 -c "${source}" > "${output}"
    DEPENDS "${source}"
    VERBATIM)
endfunction()
