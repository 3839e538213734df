# Test and benchmark helpers shared by every module.
if(QV_BUILD_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
endif()
if(QV_BUILD_BENCH)
  find_package(benchmark REQUIRED)
endif()

# Leaks inside system libraries that tests cannot free (see cmake/lsan.supp).
set(QV_LSAN_SUPPRESSIONS ${CMAKE_SOURCE_DIR}/cmake/lsan.supp)

# Builds in the ThreadSanitizer tree compile only the threaded tests.
add_custom_target(qv_threaded_tests)

# qv_add_test(<name> SOURCES ... [LIBS ...] [THREADED] [DISPLAY] [TIMEOUT s])
# One GoogleTest program, registered with CTest as one test.
# THREADED marks tests of threaded code; they run again under ThreadSanitizer.
# DISPLAY marks tests that open real windows, GL contexts or the clipboard: they
# need the X server that `make test` starts around CTest (scripts/with-xvfb.sh).
function(qv_add_test name)
  if(NOT QV_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "THREADED;DISPLAY" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  # A refused allocation must reach the code as null, not end the test.
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=1;LSAN_OPTIONS=suppressions=${QV_LSAN_SUPPRESSIONS};TSAN_OPTIONS=allocator_may_return_null=1:halt_on_error=1:second_deadlock_stack=1")
  if(T_DISPLAY)
    # The display's own libraries (X11, Mesa, fontconfig) keep process-wide
    # caches that LeakSanitizer would report; cmake/lsan.supp names them.
    set_property(TEST ${name} APPEND PROPERTY LABELS display)
  endif()
  if(T_THREADED)
    set_property(TEST ${name} APPEND PROPERTY LABELS threaded)
    add_dependencies(qv_threaded_tests ${name})
  endif()
endfunction()

# qv_add_benchmark(<name> SOURCES ... [LIBS ...])
function(qv_add_benchmark name)
  if(NOT QV_BUILD_BENCH)
    return()
  endif()
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
  set_property(GLOBAL APPEND PROPERTY QV_BENCHMARKS ${name})
endfunction()
