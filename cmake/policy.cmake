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
# GCC 12 takes "literal" + std::string, inlined at -O3, for an overlapping
# memcpy (GCC bug 105651, mended in GCC 13): a false -Wrestrict in Release.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(mv_policy INTERFACE $<$<CONFIG:Release>:-Wno-restrict>)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/version.cmake)

# Window code: every conversion between bytes and display text goes through
# the one encoding helper, so Qt's implicit conversions are switched off. Qt's
# lower-case keywords (signals, slots, emit) are macros no other header
# expects, so window code spells them Q_SIGNALS, Q_SLOTS, Q_EMIT. A connect
# to a lambda needs a context object, so the lambda dies with its receiver;
# Qt 6.4 does not know QT_NO_CONTEXTLESS_CONNECT yet, so a source rule
# (tests/source_rules) refuses a connect without a context until it does.
add_library(mv_widgets_policy INTERFACE)
target_link_libraries(mv_widgets_policy INTERFACE mv_policy)
target_compile_definitions(mv_widgets_policy INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_KEYWORDS QT_NO_CONTEXTLESS_CONNECT)

# mv_add_test(name SOURCES ... LIBS ...): one test executable per folder,
# registered with CTest test by test.
function(mv_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE mv_policy ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# mv_own_headers(<target> <folder>): <target> and whatever links it reach the
# headers of src/<folder> as "<folder>/x.h", and no other folder of src/. Its
# include folder in the build tree holds a link to each of those headers only
# (not to subfolders: a core's windows are a library of their own), so a
# library sees just the headers of the libraries it links, and an include
# against the layer order fails to compile. Libraries of one folder share it.
function(mv_own_headers target folder)
  string(REPLACE "/" "_" key ${folder})
  set(root ${PROJECT_BINARY_DIR}/include/${key})
  file(MAKE_DIRECTORY ${root}/${folder})
  file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.h)
  if(NOT headers)
    message(FATAL_ERROR "mv_own_headers: src/${folder} holds no header")
  endif()
  foreach(header ${headers})
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# mv_add_windows_library(<name> LIBS <libs>...): the window library of the
# current folder (src/<sub>/windows, src/ui/...): every .cpp and .h in it, moc
# run over them, the window policy and Qt Widgets, its headers reached as
# "<sub>/windows/x.h".
function(mv_add_windows_library name)
  cmake_parse_arguments(W "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name} STATIC ${sources})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
  mv_own_headers(${name} ${folder})
  target_link_libraries(${name} PUBLIC mv_widgets_policy ${W_LIBS} Qt6::Widgets)
endfunction()
