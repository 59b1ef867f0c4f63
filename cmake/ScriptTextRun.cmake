# cmake -DFILES=<a.js|b.js...> -DTEXT=<out.txt> -DOUT=<out.h> -DSYMBOL=<name>
#       [-DHEAD=1 -DMARKERS=<list.txt>] -P ScriptTextRun.cmake
#
# A line-based minifier: every line loses its indentation and trailing blanks, blank lines and
# lines that start with "//" go, and the lines that stay are joined; a line feed stays between
# them wherever automatic semicolons could depend on it. The code is never touched within a
# line, so strings and regular expressions mean what they meant. Comments therefore stand on
# lines of their own, and no string or template may run across lines.
#
# CMake lists split at ";" (except inside "[...]") and a backslash escapes the next character,
# so those characters travel as control characters that plain ASCII source never holds.

string(ASCII 1 semicolon)
string(ASCII 2 open)
string(ASCII 3 close)
string(ASCII 4 backslash)

function(escape_text in out)
  string(REPLACE "\\" "${backslash}" t "${in}")
  string(REPLACE ";" "${semicolon}" t "${t}")
  string(REPLACE "[" "${open}" t "${t}")
  string(REPLACE "]" "${close}" t "${t}")
  string(REPLACE "\r" "" t "${t}")
  set(${out} "${t}" PARENT_SCOPE)
endfunction()

function(unescape_text in out)
  string(REPLACE "${backslash}" "\\" t "${in}")
  string(REPLACE "${semicolon}" ";" t "${t}")
  string(REPLACE "${open}" "[" t "${t}")
  string(REPLACE "${close}" "]" t "${t}")
  set(${out} "${t}" PARENT_SCOPE)
endfunction()

string(REPLACE "|" ";" files "${FILES}")
set(script "")
foreach(file IN LISTS files)
  file(READ "${file}" text)
  # Only printable ASCII, tabs and line breaks: a page may be in any encoding, and the
  # frameset passes mark attributes with the Latin-1 byte A3.
  if(text MATCHES "[^\t\r\n -~]")
    message(FATAL_ERROR "${file} holds a character outside printable ASCII")
  endif()
  escape_text("${text}" text)
  string(REPLACE "\n" ";" lines "${text}")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "" OR line MATCHES "^//")
      continue()
    endif()
    if(line MATCHES " //")
      message(FATAL_ERROR "${file}: a comment after code (comments stand on lines of their own)")
    endif()
    # A line after one that ends a statement, opens a block or continues a list, and a line
    # that closes a block, join their neighbour directly: no line break there can matter.
    if(script MATCHES "[{${semicolon},]$" OR line MATCHES "^}")
      string(APPEND script "${line}")
    elseif(script STREQUAL "")
      set(script "${line}")
    else()
      string(APPEND script "\n${line}")
    endif()
  endforeach()
endforeach()
unescape_text("${script}" script)

if(HEAD)
  # The markers are looked for in the script between the head wrapper's own tags, letter case
  # ignored (several passes accept more than one spelling) unless the list says otherwise.
  file(READ "${MARKERS}" markers)
  escape_text("${markers}" markers)
  string(REPLACE "\n" ";" markers "${markers}")
  string(TOLOWER "${script}" lowerScript)
  foreach(marker IN LISTS markers)
    string(STRIP "${marker}" marker)
    if(marker STREQUAL "" OR marker MATCHES "^#")
      continue()
    endif()
    unescape_text("${marker}" marker)
    if(marker MATCHES "^=")
      string(SUBSTRING "${marker}" 1 -1 marker)
      string(FIND "${script}" "${marker}" at)
    else()
      string(TOLOWER "${marker}" lowerMarker)
      string(FIND "${lowerScript}" "${lowerMarker}" at)
    endif()
    if(NOT at EQUAL -1)
      string(SUBSTRING "${script}" ${at} 60 around)
      message(FATAL_ERROR "The page script holds the marker \"${marker}\", which a later text pass "
                          "searches for, at: ${around}")
    endif()
  endforeach()
  set(script "<head><script id='script' type='text/javascript'>\n${script}\n</script>")
endif()

file(WRITE "${TEXT}" "${script}")
set(IN "${TEXT}")
include(${CMAKE_CURRENT_LIST_DIR}/EmbedTextRun.cmake)
