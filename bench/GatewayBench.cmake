# The communication server: bus utilisation through quellgw's server and virtual bus, and the
# latency it adds beyond the wire time. bench/CMakeLists.txt includes this file after
# quell_bench_support; plain C++, so it is built with or without the GUI.
if(TARGET quell_gateway AND TARGET quell_bench_support)
  add_executable(bench_gateway ${CMAKE_CURRENT_LIST_DIR}/bench_gateway.cpp)
  target_link_libraries(bench_gateway PRIVATE quell_bench_support quell_gateway)
  list(APPEND QUELL_BENCH_TARGETS bench_gateway)
endif()
