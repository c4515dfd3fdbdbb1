# The program's version for the code: project(VERSION) written into one header
# of the build tree, which every target sees through mv_policy.
configure_file(${CMAKE_CURRENT_LIST_DIR}/mv_version.h.in ${PROJECT_BINARY_DIR}/generated/mv_version.h
               @ONLY)
target_include_directories(mv_policy INTERFACE ${PROJECT_BINARY_DIR}/generated)
