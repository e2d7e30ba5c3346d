# The production database with 10,000 boards in each table, on an SQLite file and on a private
# PostgreSQL server: the window "Base" shown and put on a board against its two queries alone, and
# one save against one indexed update of that row. Built with the GUI libraries (the window is
# part of what is measured); bench/CMakeLists.txt includes this file after quell_bench_support.
if(QUELL_BUILD_GUI AND TARGET quell_database AND TARGET quell_bench_support)
  add_executable(bench_database ${CMAKE_CURRENT_LIST_DIR}/bench_database.cpp
    ${PROJECT_SOURCE_DIR}/tests/database/PostgresServer.cpp)
  target_link_libraries(bench_database PRIVATE quell_bench_support quell_database Qt6::Network)
  target_compile_definitions(bench_database PRIVATE
    QUELL_EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples")
  list(APPEND QUELL_BENCH_TARGETS bench_database)
endif()
