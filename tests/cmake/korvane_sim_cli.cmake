# The korvane-sim command line, the mod's script declarations and the mod
# archive, checked on both builds.

# The host tests read the declarations beside the test program (under Wine
# the source tree's Unix path is out of reach).
configure_file(${PROJECT_SOURCE_DIR}/scripts/Quillmere.psc
               ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/scripts/Quillmere.psc COPYONLY)

if(WIN32)
  set(korvane_sim_launcher ${CMAKE_CROSSCOMPILING_EMULATOR})
else()
  set(korvane_sim_launcher "")
endif()
foreach(check errors round_trip demo)
  add_test(NAME KorvaneSimCli.${check}
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/scripts/check_cli_${check}.sh
                   "${korvane_sim_launcher}" $<TARGET_FILE:korvane-sim> ${PROJECT_SOURCE_DIR})
  if(WIN32)
    # Windows programs of one prefix share its Documents, and so the log.
    set_tests_properties(KorvaneSimCli.${check} PROPERTIES RUN_SERIAL TRUE)
  endif()
endforeach()

if(WIN32)
  add_test(NAME ModArchiveLayout
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/scripts/check_mod_archive.sh
                   ${QUILLMERE_MOD_ARCHIVE} $<TARGET_FILE:quillmere>)
endif()
