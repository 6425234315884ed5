# The scene file readers: COB scenes, MS3D models, BMP pictures.
kav_add_fuzzer(fuzz_cob cob_fuzzer.cpp kav_scene)
kav_add_fuzzer(fuzz_ms3d ms3d_fuzzer.cpp kav_scene)
kav_add_fuzzer(fuzz_bmp bmp_fuzzer.cpp kav_scene)
