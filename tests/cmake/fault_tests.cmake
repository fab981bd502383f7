# The full-disk fault under Wine: a Windows program cannot lower its own
# file-size limit, so a script runs a small helper game under prlimit.
if(WIN32)
  add_executable(quillmere_full_disk_helper ${CMAKE_CURRENT_SOURCE_DIR}/host/faults/full_disk_helper.cpp)
  quillmere_host_program(quillmere_full_disk_helper)
  quillmere_warnings(quillmere_full_disk_helper)
  add_test(NAME FullDiskUnderWine
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/host/faults/full_disk_under_wine.sh
                   ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:quillmere_full_disk_helper>)
  set_tests_properties(FullDiskUnderWine PROPERTIES RUN_SERIAL TRUE TIMEOUT 900)
endif()
