# Two commands matter: `make run` and `make test`. Both install what is missing first.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
TSAN_DIR ?= build-tsan
CMAKE_FLAGS ?=
ifdef CI
CMAKE_FLAGS += -DKAV_WERROR=ON
endif

.PHONY: all deps build run install test unit-test asan-test tsan fuzz-test check-layers check-format bench clean

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
test: check-layers check-format build
	$(MAKE) --no-print-directory asan-test
	$(MAKE) --no-print-directory tsan
	$(MAKE) --no-print-directory fuzz-test
	$(TEST_ENV) $(XVFB) ctest --test-dir $(BUILD_DIR) --output-on-failure

# A lower layer of src/ never includes a higher one; checked first because it needs no build.
check-layers:
	scripts/check-layers.sh

# Every C++ file is laid out as .clang-format says.
check-format: deps
	scripts/check-format.sh

# The game under the sanitizers leaks only what tests/e2e/lsan_suppressions.txt explains;
# it is slow, so the tests leave out their bounds on how fast it reacts.
ASAN_GAME_ENV = ASAN_OPTIONS=detect_leaks=1 KAV_SANITIZED=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/e2e/lsan_suppressions.txt:print_suppressions=0

# The unit tests again, under AddressSanitizer and UndefinedBehaviorSanitizer, then the
# game itself built so through its whole lifecycle and a race.
asan-test: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKAV_SANITIZE=ON -DKAV_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(ASAN_DIR)
	$(TEST_ENV) ASAN_OPTIONS=detect_leaks=1 ctest --test-dir $(ASAN_DIR) -L unit --output-on-failure
	$(TEST_ENV) $(ASAN_GAME_ENV) $(XVFB) ctest --test-dir $(ASAN_DIR) -R '^e2e\.(lifecycle|race)_test$$' --output-on-failure

# The unit tests and the whole-program runs (start and stop, races, replays with their
# replay thread) under ThreadSanitizer; any report fails the run. The suppressions
# cover libraries built without it, each explained there. Optimised, since the
# whole-program tests play in real time; the game still runs slower, so their waits
# grow by KAV_E2E_TIME_FACTOR.
TSAN_ENV = TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1 suppressions=$(CURDIR)/scripts/tsan.supp" KAV_E2E_TIME_FACTOR=4
tsan: deps
	cmake -S . -B $(TSAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAV_TSAN=ON -DKAV_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(TSAN_DIR)
	$(TEST_ENV) $(TSAN_ENV) ctest --test-dir $(TSAN_DIR) -L unit --output-on-failure
	$(TEST_ENV) $(TSAN_ENV) $(XVFB) ctest --test-dir $(TSAN_DIR) -R '^e2e\.(lifecycle|race|replay)_test$$' --output-on-failure

# Each parser's fuzz target runs briefly on its seed corpus.
fuzz-test: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DKAV_FUZZ=ON $(CMAKE_FLAGS)
	cmake --build $(FUZZ_DIR)
	scripts/run-fuzzers.sh $(FUZZ_DIR)

# Frame rate of every recorded level and of the main menu (under the same virtual display
# as the tests), then the benchmark programs.
bench: build
	for dump in bench/dumps/*.dump; do $(TEST_ENV) $(XVFB) $(BUILD_DIR)/kav --benchmark $$dump || exit 1; done
	for program in $(BUILD_DIR)/bench_*; do $$program || exit 1; done

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(TSAN_DIR) $(FUZZ_DIR)
