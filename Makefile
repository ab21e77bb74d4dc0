# The everyday commands. Each one installs what it needs first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
CORPUS     ?= $(CURDIR)/../shared/corpus
JOBS       ?= 2
PREFIX     ?= /usr/local
CMAKE_FLAGS = -G Ninja

.PHONY: deps build test asan bench run install package fuzz clean

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DMIRTH_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS) --target mirthlens-bench mirthlens-window-bench
	$(BUILD)/bin/mirthlens-bench
	$(BUILD)/bin/mirthlens-window-bench

run: build
	$(BUILD)/bin/mirthlens

# DESTDIR, when set, is honoured by cmake --install as a staging root.
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package of the same layout under /usr: build/mirthlens_*.deb.
package: build
	cd $(BUILD) && cpack

# Every fuzz target, one after the other, for FUZZ_SECONDS each, seeded from CORPUS.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DMIRTH_FUZZ=ON -DMIRTH_CORPUS_DIR=$(CORPUS)
	FUZZ_SECONDS=$(FUZZ_SECONDS) cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz-all

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
