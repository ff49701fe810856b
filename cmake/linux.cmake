# Linux build: logic, fakes, vestrano-sim, unit tests (under the sanitizers) and benchmarks.
option(VESTRANO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" ON)

add_compile_options(-Wall -Wextra -Wpedantic -Werror)
if(VESTRANO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

add_library(vestrano_core STATIC ${VESTRANO_LOGIC_SOURCES})
target_include_directories(vestrano_core PUBLIC ${CMAKE_SOURCE_DIR})

file(GLOB FAKE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/host/fake/*.cpp)
add_library(vestrano_fakes STATIC ${FAKE_SOURCES})
target_link_libraries(vestrano_fakes PUBLIC vestrano_core)

file(GLOB SIM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sim/*.cpp)
list(FILTER SIM_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(vestrano_simlib STATIC ${SIM_SOURCES})
target_link_libraries(vestrano_simlib PUBLIC vestrano_fakes)
add_executable(vestrano-sim ${CMAKE_SOURCE_DIR}/sim/main.cpp)
target_link_libraries(vestrano-sim PRIVATE vestrano_simlib)

enable_testing()
find_package(GTest REQUIRED)
file(GLOB TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*.cpp)
add_executable(vestrano_tests ${TEST_SOURCES})
target_link_libraries(vestrano_tests PRIVATE vestrano_simlib GTest::gtest GTest::gtest_main)
target_compile_definitions(vestrano_tests PRIVATE
  VESTRANO_SCENARIO_DIR="${CMAKE_SOURCE_DIR}/tests/scenarios")
include(GoogleTest)
gtest_discover_tests(vestrano_tests DISCOVERY_TIMEOUT 60)

# Every scenario file is a test of its own, run through vestrano-sim.
file(GLOB SCENARIOS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/scenarios/*.vsc)
foreach(scenario ${SCENARIOS})
  get_filename_component(name ${scenario} NAME_WE)
  add_test(NAME scenario.${name} COMMAND vestrano-sim ${scenario})
endforeach()

find_package(benchmark REQUIRED)
file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
add_executable(vestrano_bench ${BENCH_SOURCES})
target_link_libraries(vestrano_bench PRIVATE vestrano_simlib benchmark::benchmark)
# A short run proves the benchmarks still work; real figures come from a Release build.
add_test(NAME bench.smoke COMMAND vestrano_bench --benchmark_min_time=0.001)
