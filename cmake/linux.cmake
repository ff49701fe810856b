# Linux build: logic, fakes, vestrano-sim, unit tests (under the sanitizers) and benchmarks; or,
# with VESTRANO_FUZZ, the libFuzzer targets instead (clang only; scripts/fuzz.sh sets it up).
option(VESTRANO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" ON)
option(VESTRANO_FUZZ "Build the libFuzzer targets (clang) instead of the tests" OFF)

add_compile_options(-Wall -Wextra -Wpedantic -Werror)
if(VESTRANO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  # The library's own precondition checks (front() of an empty string, an index past the end),
  # which AddressSanitizer cannot see inside a container's capacity.
  add_compile_options(-D_GLIBCXX_ASSERTIONS)
endif()
if(VESTRANO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "VESTRANO_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

add_library(vestrano_core STATIC ${VESTRANO_LOGIC_SOURCES})
target_include_directories(vestrano_core PUBLIC ${CMAKE_SOURCE_DIR})

# Our tab strip's portable model, which the Windows build puts into its own module.
file(GLOB TABCTL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tabctl/*.cpp)
add_library(vestrano_tabctl STATIC ${TABCTL_SOURCES})
target_include_directories(vestrano_tabctl PUBLIC ${CMAKE_SOURCE_DIR})

file(GLOB FAKE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/host/fake/*.cpp)
add_library(vestrano_fakes STATIC ${FAKE_SOURCES})
target_link_libraries(vestrano_fakes PUBLIC vestrano_core vestrano_scenario)

# The scenario language as both runners read it (vestrano-sim here, xlsim on Windows).
file(GLOB SCENARIO_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/scenario/*.cpp)
add_library(vestrano_scenario STATIC ${SCENARIO_SOURCES})
target_include_directories(vestrano_scenario PUBLIC ${CMAKE_SOURCE_DIR})

# xlsim's portable part: its Excel's workbooks, events and command bars, and the ribbon markup it
# reads. The Windows build makes the program; here the unit tests play with it.
file(GLOB XLSIM_MODEL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/xlsim/*.cpp)
add_library(vestrano_xlsim_model STATIC ${XLSIM_MODEL_SOURCES})
target_link_libraries(vestrano_xlsim_model PUBLIC vestrano_scenario)

file(GLOB SIM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sim/*.cpp)
list(FILTER SIM_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(vestrano_simlib STATIC ${SIM_SOURCES})
target_link_libraries(vestrano_simlib PUBLIC vestrano_fakes vestrano_scenario)
add_executable(vestrano-sim ${CMAKE_SOURCE_DIR}/sim/main.cpp)
target_link_libraries(vestrano-sim PRIVATE vestrano_simlib)

# The fuzz targets' bodies, shared by the libFuzzer binaries and the replay test.
file(GLOB FUZZ_BODY_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/fuzz_*.cpp)
list(FILTER FUZZ_BODY_SOURCES EXCLUDE REGEX "_test\\.cpp$")
add_library(vestrano_fuzz_bodies STATIC ${FUZZ_BODY_SOURCES})
target_link_libraries(vestrano_fuzz_bodies PUBLIC vestrano_simlib)

if(VESTRANO_FUZZ)
  foreach(body Wildcard SettingsStore ScriptLexer Scenario ModuleImage)
    string(REGEX REPLACE "([a-z])([A-Z])" "\\1_\\2" name ${body})
    string(TOLOWER "fuzz_${name}" target)
    add_executable(${target} ${CMAKE_SOURCE_DIR}/fuzz/libfuzzer_entry.cpp)
    target_compile_definitions(${target} PRIVATE VESTRANO_FUZZ_BODY=Fuzz${body})
    target_link_libraries(${target} PRIVATE vestrano_fuzz_bodies)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  endforeach()
  return()
endif()

enable_testing()
find_package(GTest REQUIRED)
file(GLOB TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*.cpp)
add_executable(vestrano_tests ${TEST_SOURCES})
target_link_libraries(vestrano_tests PRIVATE vestrano_simlib vestrano_tabctl vestrano_xlsim_model
  GTest::gtest GTest::gtest_main)
# The tests run vestrano-sim itself too: its exit status is what CTest reads of a scenario.
add_dependencies(vestrano_tests vestrano-sim)
target_compile_definitions(vestrano_tests PRIVATE
  VESTRANO_SCENARIO_DIR="${CMAKE_SOURCE_DIR}/tests/scenarios"
  VESTRANO_SIM="$<TARGET_FILE:vestrano-sim>")
include(GoogleTest)
gtest_discover_tests(vestrano_tests DISCOVERY_TIMEOUT 60)

# Every committed fuzz input, replayed through the fuzz bodies in the ordinary test run.
add_executable(vestrano_fuzz_replay ${CMAKE_SOURCE_DIR}/fuzz/fuzz_replay_test.cpp)
target_link_libraries(vestrano_fuzz_replay PRIVATE vestrano_fuzz_bodies GTest::gtest GTest::gtest_main)
target_compile_definitions(vestrano_fuzz_replay PRIVATE VESTRANO_FUZZ_DIR="${CMAKE_SOURCE_DIR}/fuzz")
gtest_discover_tests(vestrano_fuzz_replay DISCOVERY_TIMEOUT 60)

# Every scenario file is a test of its own, run through vestrano-sim.
file(GLOB SCENARIOS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/scenarios/*.vsc)
foreach(scenario ${SCENARIOS})
  get_filename_component(name ${scenario} NAME_WE)
  add_test(NAME scenario.${name} COMMAND vestrano-sim ${scenario})
endforeach()

# The ribbon markup against Office's customUI schemas (the checker lives in the shared folder
# beside the repository; without it the test is skipped and says so).
add_test(NAME ribbon.markup_schemas
  COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-ribbon-markup.sh $<TARGET_FILE:vestrano-sim>)
set_tests_properties(ribbon.markup_schemas PROPERTIES SKIP_RETURN_CODE 77)

find_package(benchmark REQUIRED)
file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
add_executable(vestrano_bench ${BENCH_SOURCES})
target_link_libraries(vestrano_bench PRIVATE vestrano_simlib benchmark::benchmark)
# A short run proves the benchmarks still work; real figures come from a Release build.
add_test(NAME bench.smoke COMMAND vestrano_bench --benchmark_min_time=0.001)
