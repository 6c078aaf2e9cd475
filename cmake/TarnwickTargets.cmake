# tw_add_library(<name> [DEPS <targets>...])
# A library of one src/ folder: every .cpp/.c in the folder and its sub-folders.
# Headers are included as "<folder>/<file>.h" from src/.
function(tw_add_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  if(sources)
    add_library(tw_${name} STATIC ${sources})
    target_include_directories(tw_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(tw_${name} PUBLIC ${ARG_DEPS} PRIVATE tw_warnings)
  else()
    # Nothing built here yet: headers only.
    add_library(tw_${name} INTERFACE)
    target_include_directories(tw_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(tw_${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# The time limit of every test that ctest runs, in seconds. Far above what the slowest program
# takes in a sanitizer's Debug build on a busy machine, and above several of the tests' own
# hang limits (tests/support/hang_limit.h), so that a test that hangs fails with its own
# message first; well inside the CI's limit. scripts/test.sh passes it to each ctest run too.
set(TW_TEST_TIMEOUT 1200)

# tw_add_test(<name> SOURCES <files>... [LIBS <targets>...] [LABELS <labels>...])
# One GoogleTest executable registered as one CTest test. Its main is tests/support/test_main.cpp
# unless a source has its own; either way it checks the locale it runs in (stage_locale_test.cpp).
function(tw_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  if(TW_FUZZ)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tw_test_main tw_stage_locale_check GTest::gmock tw_warnings)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} TIMEOUT ${TW_TEST_TIMEOUT}
    ENVIRONMENT "TW_SOURCE_DIR=${PROJECT_SOURCE_DIR};TW_BINARY_DIR=${PROJECT_BINARY_DIR}")
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()

# tw_add_fuzzer(<name> SOURCES <files>... LIBS <targets>...)
# A libFuzzer target, built only in the TW_FUZZ configuration. scripts/test.sh runs
# every target listed in fuzzers.txt for a short, bounded time.
function(tw_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT TW_FUZZ)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tw_warnings)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_property(GLOBAL APPEND PROPERTY TW_FUZZERS ${name})
endfunction()

# Adds every immediate sub-folder of the current folder that has a CMakeLists.txt.
macro(tw_add_subfolders)
  file(GLOB _tw_children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(_tw_child IN LISTS _tw_children)
    if(IS_DIRECTORY ${_tw_child} AND EXISTS ${_tw_child}/CMakeLists.txt)
      add_subdirectory(${_tw_child})
    endif()
  endforeach()
endmacro()
