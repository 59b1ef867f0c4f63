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
