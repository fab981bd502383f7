# Checks that drive built programs from the shell.
if(WIN32)
  add_test(NAME DllExportsAndImports
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/scripts/check_dll_exports.sh $<TARGET_FILE:quillmere>)
  add_test(NAME KorvaneSimLoad
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/scripts/check_load.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
                   $<TARGET_FILE:korvane-sim>)
  set_tests_properties(KorvaneSimLoad PROPERTIES RUN_SERIAL TRUE)
else()
  add_test(NAME KorvaneSimLoad
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/scripts/check_load.sh "" $<TARGET_FILE:korvane-sim>)
endif()
