# nova_batch(TARGET): with NOVA_UNITY_BUILD the target's sources compile eight files to one
# compiler run, so the headers they share are parsed once per batch: a full build takes about a
# third of the time. The helpers a file keeps in its anonymous namespace must then have names
# no other file of the target uses. (Test programs repeat helper names and compile file by file.)
function(nova_batch target)
  if(NOVA_UNITY_BUILD)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
  endif()
endfunction()

# nova_library(NAME DEPS...): a static library nova_NAME from every .cpp in the current
# folder (sub-folders included, except those that are libraries of their own: a sub-folder
# with a CMakeLists.txt), with src/ on the include path.
function(nova_library name)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB_RECURSE own_lists ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  foreach(list ${own_lists})
    get_filename_component(sub ${list} DIRECTORY)
    list(FILTER sources EXCLUDE REGEX "^${sub}/")
  endforeach()
  if(NOT sources)
    # A subsystem whose sources are still to come links as an empty library.
    set(sources ${CMAKE_CURRENT_BINARY_DIR}/empty_${name}.cpp)
    file(WRITE ${sources} "")
  endif()
  add_library(nova_${name} STATIC ${sources})
  target_include_directories(nova_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  nova_batch(nova_${name})
  if(ARGN)
    target_link_libraries(nova_${name} PUBLIC ${ARGN})
  endif()
endfunction()

# nova_test(NAME DEPS...): one GoogleTest program test_NAME from every .cpp in the current
# folder; its tests run headless and find the source and build folders through tests/support.
function(nova_test name)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(test_${name} ${sources})
  target_include_directories(test_${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(test_${name} PRIVATE ${ARGN} nova_testsupport GTest::gtest GTest::gtest_main)
  # Every test file starts with GoogleTest and the same standard headers: parse them once for
  # all programs. Test programs keep line tables only and a light optimisation (NOVA_TEST_FLAGS): a
  # failure or a sanitizer report still names file and line, the code under test keeps its own
  # flags in its libraries, and the programs compile in half the time.
  # SDL's compile flags change macros the standard headers read, so programs built with them
  # share the other precompiled header (tests/CMakeLists.txt).
  if("nova_platform_sdl" IN_LIST ARGN OR "nova_app" IN_LIST ARGN)
    target_precompile_headers(test_${name} REUSE_FROM nova_test_pch_sdl)
  else()
    target_precompile_headers(test_${name} REUSE_FROM nova_test_pch)
  endif()
  target_compile_options(test_${name} PRIVATE ${NOVA_TEST_FLAGS_LIST})
  if(NOVA_SANITIZE)
    # Under the sanitizers a test program takes half a second to start and to look for leaks at
    # its end, longer than most of its tests: there each program runs all its tests at once.
    add_test(NAME test_${name} COMMAND test_${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(test_${name} PROPERTIES ENVIRONMENT "SDL_VIDEODRIVER=dummy")
  else()
    gtest_discover_tests(test_${name}
      DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "SDL_VIDEODRIVER=dummy")
    # gtest_discover_tests passes one environment entry only; the rest is compiled in
    # (tests/support) or set by the test command (SDL_AUDIODRIVER).
  endif()
endfunction()
