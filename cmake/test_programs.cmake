# How the GoogleTest programs are built and handed to ctest.

# Test code is built at -O1 with line tables only (enough for sanitizer
# reports): it compiles in half the time, and the product code it exercises
# keeps the build's own flags. GoogleTest's header is precompiled once.
function(build_as_test_program target)
  foreach(each ${target} ${ARGN})
    target_compile_options(${each} PRIVATE $<$<CONFIG:RelWithDebInfo>:-O1 -g1>)
  endforeach()
  target_precompile_headers(${target} PRIVATE <gtest/gtest.h>)
endfunction()

# Natively every test of the program is a ctest test of its own, so `ctest -j`
# spreads them over the cores. Under Wine a process start costs about a
# second, so there the program runs in KESTROW_WINE_SHARDS shards.
set(KESTROW_WINE_SHARDS 2 CACHE STRING "ctest tests each Windows GoogleTest program is split into")
function(register_gtest_program target)
  if(NOT CMAKE_CROSSCOMPILING)
    include(GoogleTest)
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 900)
    return()
  endif()
  math(EXPR last "${KESTROW_WINE_SHARDS} - 1")
  foreach(shard RANGE ${last})
    add_test(NAME ${target}_${shard} COMMAND ${target})
    set_tests_properties(${target}_${shard} PROPERTIES TIMEOUT 900
      ENVIRONMENT "GTEST_TOTAL_SHARDS=${KESTROW_WINE_SHARDS};GTEST_SHARD_INDEX=${shard}")
  endforeach()
endfunction()
