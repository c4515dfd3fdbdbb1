# Compiler policy for every target of the project: link a target to mv_policy
# (core code) or mv_widgets_policy (window code).
add_library(mv_policy INTERFACE)
target_compile_features(mv_policy INTERFACE cxx_std_20)
target_compile_options(mv_policy INTERFACE -Wall -Wextra)
# Warnings stop the build in the project's scripts and CI, never in a
# packager's build, where a newer compiler may warn about sound code.
option(MV_WERROR "Treat compiler warnings as errors" OFF)
if(MV_WERROR)
  target_compile_options(mv_policy INTERFACE -Werror)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/version.cmake)

# Window code: every conversion between bytes and display text goes through
# the one encoding helper, so Qt's implicit conversions are switched off.
add_library(mv_widgets_policy INTERFACE)
target_link_libraries(mv_widgets_policy INTERFACE mv_policy)
target_compile_definitions(mv_widgets_policy INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY)

# mv_add_test(name SOURCES ... LIBS ...): one test executable per folder,
# registered with CTest test by test.
function(mv_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE mv_policy ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
