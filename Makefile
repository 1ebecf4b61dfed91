# Front door over CMake: `make run` and `make test`.
BUILD ?= build
CLIPS := $(BUILD)/clips
DEB_BUILD ?= build-deb
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 600
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test sanitize-build fuzz-build package fuzz bench clean

all: build

deps:
	@bash tools/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

# The build makes the voice pack into $(CLIPS); the program plays its clips
# from the folder it runs in.
run: build
	cd $(CLIPS) && ../zorbanu

# The whole suite, then again with AddressSanitizer and UBSan, then the
# fuzz targets for a bounded number of runs from their seeds.
test: build sanitize-build fuzz-build
	cd $(BUILD) && ctest --output-on-failure
	cd $(ASAN_BUILD) && ctest --output-on-failure --label-exclude packaging
	cd $(FUZZ_BUILD) && ctest --output-on-failure

sanitize-build: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZORBANU_SANITIZE=ON
	cmake --build $(ASAN_BUILD)

fuzz-build: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DZORBANU_FUZZ=ON \
	  -DZORBANU_BUILD_WINDOW=OFF -DZORBANU_BUILD_TESTS=OFF
	cmake --build $(FUZZ_BUILD)

# Long fuzzing: each target for FUZZ_SECONDS, growing a corpus under the
# build folder from the committed seeds.
fuzz: fuzz-build
	for target in read_number clip; do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$target && \
	  $(FUZZ_BUILD)/tests/fuzz/fuzz_$$target -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 \
	    -artifact_prefix=$(FUZZ_BUILD)/ $(FUZZ_BUILD)/corpus/$$target tests/fuzz/corpus/$$target || exit 1; \
	done

# Performance figures of the real program (needs no display: runs on Xvfb).
bench: build
	xvfb-run -a -s "-screen 0 1024x768x24 -noreset" $(BUILD)/bench/zorbanu_bench

# Debian packages of the program and the voice pack, installed under /usr.
package: deps
	cmake -S . -B $(DEB_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DZORBANU_BUILD_TESTS=OFF
	cmake --build $(DEB_BUILD)
	cd $(DEB_BUILD) && cpack
	@ls $(DEB_BUILD)/*.deb

clean:
	rm -rf $(BUILD) $(DEB_BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
