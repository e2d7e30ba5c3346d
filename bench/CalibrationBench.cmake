# The calibration procedures against quellgw with a simulated VRQ-PB board, through a real link:
# one awaited transaction against one client exchange, the CPU a waiting point costs, and the wall
# time of calibrating every channel against the waits the recipe prescribes. bench/CMakeLists.txt
# includes this file after quell_bench_support; built with the GUI libraries, like the other
# client-side benchmarks, though it needs no display itself.
if(QUELL_BUILD_GUI AND TARGET quell_calibration AND TARGET quellgw AND TARGET quell_bench_support)
  add_executable(bench_calibration ${CMAKE_CURRENT_LIST_DIR}/bench_calibration.cpp)
  target_link_libraries(bench_calibration PRIVATE quell_bench_support quell_calibration)
  target_compile_definitions(bench_calibration PRIVATE
    QUELLGW_PATH="$<TARGET_FILE:quellgw>"
    QUELL_EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples")
  # The benchmark starts the server of the same build.
  add_dependencies(bench_calibration quellgw)
  list(APPEND QUELL_BENCH_TARGETS bench_calibration)
endif()
