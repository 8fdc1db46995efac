# zentor_library(<name> [DEPS <targets...>])
# Builds every .cpp in the current folder into the static library zentor_<name>.
# Folders with no sources yet become interface libraries, so dependants link unchanged.
function(zentor_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(target zentor_${name})
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# zentor_test(<folder> [DEPS <targets...>] [WRAPPER <command...>])
# One GoogleTest executable per test folder, from every .cpp in it. WRAPPER runs it through a
# command that preloads a library of its own (the sanitizers' runtime then no longer comes
# first, which they are told to accept).
function(zentor_test folder)
  cmake_parse_arguments(ARG "" "" "DEPS;WRAPPER" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  string(REPLACE "/" "_" tname "test_${folder}")
  add_executable(${tname} ${sources} ${PROJECT_SOURCE_DIR}/tests/support/test_main.cpp)
  target_include_directories(${tname} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${tname} PRIVATE ${ARG_DEPS} zentor_testsupport GTest::gtest GTest::gmock)
  set(asan detect_leaks=0:abort_on_error=1)
  if(ARG_WRAPPER)
    add_test(NAME ${tname} COMMAND ${ARG_WRAPPER} $<TARGET_FILE:${tname}>)
    string(APPEND asan :verify_asan_link_order=0)
  else()
    add_test(NAME ${tname} COMMAND ${tname})
  endif()
  set_tests_properties(${tname} PROPERTIES
    # A private application-data folder: a test that closes the window never writes the
    # settings of the user who runs the tests.
    # The sanitizers' settings of scripts/test hold for ctest run by hand too: the system's
    # resolver keeps a few bytes for good, which is no leak of ours.
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ZENTOR_TEST=1;AppData=${CMAKE_CURRENT_BINARY_DIR}/appdata/${tname};ASAN_OPTIONS=${asan};UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
    TIMEOUT 300)
endfunction()

# zentor_test_apart(<test> <name> <filter>)
# Runs the cases of <test> that the GoogleTest <filter> names as a test <name> of its own and
# leaves them out of <test>: cases that pace a peer at a slow line's real speed take real
# seconds, mostly waiting, and run beside the others instead of after them.
function(zentor_test_apart test name filter)
  get_test_property(${test} ENVIRONMENT env)
  list(FILTER env EXCLUDE REGEX "^GTEST_FILTER=")
  get_property(apart GLOBAL PROPERTY zentor_apart_${test})
  list(APPEND apart "${filter}")
  set_property(GLOBAL PROPERTY zentor_apart_${test} "${apart}")
  list(JOIN apart ":" excluded)
  set_tests_properties(${test} PROPERTIES ENVIRONMENT "${env};GTEST_FILTER=-${excluded}")
  string(REPLACE "/appdata/${test}" "/appdata/${name}" env "${env}")
  add_test(NAME ${name} COMMAND ${test})
  # Started first: they are the longest, and wait more than they work.
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env};GTEST_FILTER=${filter}" TIMEOUT 300 COST 1000)
endfunction()
