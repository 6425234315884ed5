kav_add_benchmark(bench_server server_relay_bench.cpp kav_server_core)
# The load runs against the real program.
target_compile_definitions(bench_server PRIVATE KAV_SERVER_PATH="$<TARGET_FILE:kav-server>")
add_dependencies(bench_server kav-server)
target_include_directories(bench_server PRIVATE ${PROJECT_SOURCE_DIR}/tests)
