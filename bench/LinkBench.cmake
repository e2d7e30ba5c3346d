# quellcal's link: exchange cost, idle CPU, start-up (needs the Qt client).
if(TARGET quell_clientwin)
  add_executable(bench_link bench_link.cpp)
  target_link_libraries(bench_link PRIVATE quell_bench_support quell_clientwin Qt6::Test)
  list(APPEND QUELL_BENCH_TARGETS bench_link)
endif()
