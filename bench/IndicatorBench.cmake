# The indicator benchmark; bench/CMakeLists.txt includes this file after quell_bench_support.
# Built only when the widget library is (QUELL_BUILD_GUI=ON).
if(TARGET quell_widgets AND TARGET quell_bench_support)
  add_executable(bench_indicator ${CMAKE_CURRENT_LIST_DIR}/bench_indicator.cpp)
  target_link_libraries(bench_indicator PRIVATE quell_bench_support quell_widgets Qt6::Widgets)
  list(APPEND QUELL_BENCH_TARGETS bench_indicator)
endif()
