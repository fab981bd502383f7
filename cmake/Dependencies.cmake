# jsoncpp and GoogleTest, from Debian's archive only.
#  - Linux: Debian's libjsoncpp-dev and libgtest-dev.
#  - Windows (MinGW): jsoncpp from Debian's source package, unpacked into
#    .deps/jsoncpp by scripts/setup.sh; GoogleTest from /usr/src/googletest.

if(WIN32)
  set(QUILLMERE_JSONCPP_SOURCE "${CMAKE_SOURCE_DIR}/.deps/jsoncpp" CACHE PATH "jsoncpp sources")
  if(NOT EXISTS "${QUILLMERE_JSONCPP_SOURCE}/CMakeLists.txt")
    message(FATAL_ERROR "jsoncpp sources not found in ${QUILLMERE_JSONCPP_SOURCE}; run scripts/setup.sh")
  endif()
  set(JSONCPP_WITH_TESTS OFF CACHE BOOL "" FORCE)
  set(JSONCPP_WITH_POST_BUILD_UNITTEST OFF CACHE BOOL "" FORCE)
  set(JSONCPP_WITH_PKGCONFIG_SUPPORT OFF CACHE BOOL "" FORCE)
  set(JSONCPP_WITH_CMAKE_PACKAGE OFF CACHE BOOL "" FORCE)
  set(BUILD_SHARED_LIBS OFF CACHE BOOL "" FORCE)
  set(BUILD_STATIC_LIBS ON CACHE BOOL "" FORCE)
  set(BUILD_OBJECT_LIBS OFF CACHE BOOL "" FORCE)
  add_subdirectory("${QUILLMERE_JSONCPP_SOURCE}" "${CMAKE_BINARY_DIR}/_deps/jsoncpp" EXCLUDE_FROM_ALL SYSTEM)
  add_library(quillmere_jsoncpp ALIAS jsoncpp_static)

  if(QUILLMERE_TESTS)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/_deps/googletest" EXCLUDE_FROM_ALL SYSTEM)
    # GoogleTest 1.11 and later define these aliases themselves.
    if(NOT TARGET GTest::gtest)
      add_library(GTest::gtest ALIAS gtest)
      add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
  endif()
else()
  find_package(jsoncpp CONFIG REQUIRED)
  add_library(quillmere_jsoncpp INTERFACE)
  target_link_libraries(quillmere_jsoncpp INTERFACE jsoncpp_lib)
  if(QUILLMERE_TESTS)
    find_package(GTest REQUIRED)
  endif()
endif()
