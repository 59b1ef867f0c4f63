# hw_embed_text(TARGET <target> FILE <path> SYMBOL <name>)
# Turns a text file into a header generated/embedded/<name>.h that declares
#   inline constexpr std::string_view <name>
# holding the file's bytes, so the core carries its resources without Qt.
function(hw_embed_text)
  cmake_parse_arguments(E "" "TARGET;FILE;SYMBOL" "" ${ARGN})
  set(out ${PROJECT_BINARY_DIR}/generated/embedded/${E_SYMBOL}.h)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DIN=${E_FILE} -DOUT=${out} -DSYMBOL=${E_SYMBOL}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedTextRun.cmake
    DEPENDS ${E_FILE} ${PROJECT_SOURCE_DIR}/cmake/EmbedTextRun.cmake
    COMMENT "Embedding ${E_FILE}")
  target_sources(${E_TARGET} PRIVATE ${out})
endfunction()

# hw_embed_script(TARGET <target> SYMBOL <name> FILES <js>... [HEAD MARKERS <list>])
# Joins JavaScript sources into one text with their comments, indentation and blank lines
# dropped (see ScriptTextRun.cmake), keeps it as generated/embedded/<name>.txt and embeds it as
# hw_embed_text does. With HEAD the text is wrapped for the head of a page, and the build fails
# when the script holds any marker of the MARKERS list.
function(hw_embed_script)
  cmake_parse_arguments(E "HEAD" "TARGET;SYMBOL;MARKERS" "FILES" ${ARGN})
  set(dir ${PROJECT_BINARY_DIR}/generated/embedded)
  set(out ${dir}/${E_SYMBOL}.h)
  # A list cannot travel as one command-line value; "|" never occurs in the source paths.
  string(REPLACE ";" "|" files "${E_FILES}")
  set(head "")
  set(depends ${E_FILES})
  if(E_HEAD)
    set(head -DHEAD=1 -DMARKERS=${E_MARKERS})
    list(APPEND depends ${E_MARKERS})
  endif()
  add_custom_command(
    OUTPUT ${out} ${dir}/${E_SYMBOL}.txt
    COMMAND ${CMAKE_COMMAND} "-DFILES=${files}" -DTEXT=${dir}/${E_SYMBOL}.txt -DOUT=${out}
            -DSYMBOL=${E_SYMBOL} ${head} -P ${PROJECT_SOURCE_DIR}/cmake/ScriptTextRun.cmake
    DEPENDS ${depends} ${PROJECT_SOURCE_DIR}/cmake/ScriptTextRun.cmake
            ${PROJECT_SOURCE_DIR}/cmake/EmbedTextRun.cmake
    COMMENT "Making ${E_SYMBOL} from its scripts"
    VERBATIM)
  target_sources(${E_TARGET} PRIVATE ${out})
endfunction()
