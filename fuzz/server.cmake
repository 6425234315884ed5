include(${PROJECT_SOURCE_DIR}/server/rules.cmake)
kav_add_fuzzer(fuzz_server server_fuzzer.cpp kav_server_rules)
