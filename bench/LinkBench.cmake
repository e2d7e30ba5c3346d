# quellcal's link: exchange cost, idle CPU, start-up (needs the Qt client).
if(TARGET quell_clientwin)
  # The instant gateway and the client exchange loop, also the baseline of the view benchmark.
  add_library(quell_bench_link STATIC
    ${CMAKE_CURRENT_LIST_DIR}/InstantGateway.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InstantGateway.h
    ${CMAKE_CURRENT_LIST_DIR}/LinkStation.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LinkStation.h
  )
  target_include_directories(quell_bench_link PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(quell_bench_link PUBLIC quell_bench_support quell_clientwin Qt6::Test)

  add_executable(bench_link bench_link.cpp)
  target_link_libraries(bench_link PRIVATE quell_bench_link)
  list(APPEND QUELL_BENCH_TARGETS bench_link)
endif()
