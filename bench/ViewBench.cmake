# The measurement view's refresh per answer line, against the client's exchange measured in the
# same run. bench/CMakeLists.txt includes this file after LinkBench.cmake.
if(TARGET quell_view AND TARGET quell_bench_link)
  add_executable(bench_view ${CMAKE_CURRENT_LIST_DIR}/bench_view.cpp)
  target_link_libraries(bench_view PRIVATE quell_bench_link quell_view)
  target_compile_definitions(bench_view PRIVATE
    QUELL_EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples")
  list(APPEND QUELL_BENCH_TARGETS bench_view)
endif()
