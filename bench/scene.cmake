kav_add_benchmark(bench_scene cob_load_bench.cpp kav_scene)
# The COB file is generated with the tests' file builders.
target_include_directories(bench_scene PRIVATE ${PROJECT_SOURCE_DIR}/tests/scene)
