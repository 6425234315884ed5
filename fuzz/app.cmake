kav_add_fuzzer(fuzz_dump dump_fuzzer.cpp kav_app)
