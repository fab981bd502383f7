# A tiny plug-in of the simulated host's own, so the host's extender and
# script-call paths are tested without the real library.
add_library(sim_probe_plugin SHARED ${CMAKE_CURRENT_SOURCE_DIR}/host/fixtures/sim_probe_plugin.cpp)
target_include_directories(sim_probe_plugin PRIVATE ${CMAKE_SOURCE_DIR}/sim)
quillmere_warnings(sim_probe_plugin)
if(WIN32)
  set_target_properties(sim_probe_plugin PROPERTIES PREFIX "")
else()
  target_link_libraries(sim_probe_plugin PRIVATE ${CMAKE_DL_LIBS})
endif()
add_dependencies(quillmere_host_tests sim_probe_plugin)
