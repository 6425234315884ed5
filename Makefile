# Two commands matter: `make run` and `make test`. Both install what is missing first.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
CMAKE_FLAGS ?=
ifdef CI
CMAKE_FLAGS += -DKAV_WERROR=ON
endif

.PHONY: all deps build run install test unit-test asan-test fuzz-test check-layers clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD_DIR)/build.ninja: | deps
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR)

run: build
	scripts/run-game.sh

# `make install PREFIX=$HOME/.local` for one user; DESTDIR works as usual for packaging.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# Tests that need GL get a virtual display with Mesa's software renderer; sound goes to
# OpenAL Soft's null backend unless a test picks another.
TEST_ENV = LIBGL_ALWAYS_SOFTWARE=1 ALSOFT_DRIVERS=null
# -noreset: the server would otherwise restart whenever its last client leaves, and a
# game starting at that moment would find no display.
XVFB = xvfb-run -a -s "-screen 0 1024x768x24 -noreset"

# The sanitizer and fuzz runs come first so that the output ends with the summary
# of the whole suite.
test: check-layers build
	$(MAKE) --no-print-directory asan-test
	$(MAKE) --no-print-directory fuzz-test
	$(TEST_ENV) $(XVFB) ctest --test-dir $(BUILD_DIR) --output-on-failure

# A lower layer of src/ never includes a higher one; checked first because it needs no build.
check-layers:
	scripts/check-layers.sh

# The unit tests again, under AddressSanitizer and UndefinedBehaviorSanitizer.
asan-test: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKAV_SANITIZE=ON -DKAV_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(ASAN_DIR)
	$(TEST_ENV) ASAN_OPTIONS=detect_leaks=1 ctest --test-dir $(ASAN_DIR) -L unit --output-on-failure

# Each parser's fuzz target runs briefly on its seed corpus.
fuzz-test: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DKAV_FUZZ=ON $(CMAKE_FLAGS)
	cmake --build $(FUZZ_DIR)
	scripts/run-fuzzers.sh $(FUZZ_DIR)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR)
