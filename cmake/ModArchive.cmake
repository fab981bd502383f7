# The mod archive: quillmere-<version>.zip, laid out like the game folder, so
# that a player unpacks it there (or hands it to a mod manager). Windows build
# only: it carries the DLL.
if(NOT WIN32)
  return()
endif()

set(QUILLMERE_MOD_ARCHIVE ${CMAKE_BINARY_DIR}/quillmere-${PROJECT_VERSION}.zip)
set(mod_stage ${CMAKE_BINARY_DIR}/mod-archive)
set(mod_readme ${CMAKE_BINARY_DIR}/mod-archive-README.txt)
configure_file(${PROJECT_SOURCE_DIR}/cmake/mod-archive/README.txt.in ${mod_readme} @ONLY
               NEWLINE_STYLE CRLF)

add_custom_command(
  OUTPUT ${QUILLMERE_MOD_ARCHIVE}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${mod_stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${mod_stage}/Data/Plexor/Plugins/Quillmere
          ${mod_stage}/Data/Scripts/Source
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:quillmere> ${mod_stage}/Data/Plexor/Plugins/quillmere.dll
  COMMAND ${CMAKE_COMMAND} -E copy ${mod_readme} ${mod_stage}/Data/Plexor/Plugins/Quillmere/README.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/scripts/Quillmere.psc
          ${mod_stage}/Data/Scripts/Source/Quillmere.psc
  COMMAND ${CMAKE_COMMAND} -E rm -f ${QUILLMERE_MOD_ARCHIVE}
  COMMAND ${CMAKE_COMMAND} -E chdir ${mod_stage}
          ${CMAKE_COMMAND} -E tar cf ${QUILLMERE_MOD_ARCHIVE} --format=zip Data
  DEPENDS quillmere ${PROJECT_SOURCE_DIR}/scripts/Quillmere.psc ${mod_readme}
  COMMENT "Packing the mod archive ${QUILLMERE_MOD_ARCHIVE}"
  VERBATIM)
add_custom_target(mod-archive ALL DEPENDS ${QUILLMERE_MOD_ARCHIVE})
