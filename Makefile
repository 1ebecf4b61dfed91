# Front door over CMake: `make run` and `make test`.
BUILD ?= build
CLIPS := $(BUILD)/clips
DEB_BUILD ?= build-deb
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
TSAN_BUILD ?= build-tsan
FUZZ_SECONDS ?= 600
CMAKE_FLAGS ?=
# The fuzz build's compiler: the clang this Debian release ships.
FUZZ_CXX ?= clang++-$(shell bash tools/install-deps.sh --clang-version)

.PHONY: all deps configure build run test sanitize-build tsan-build fuzz-build package fuzz bench clean

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

# The whole suite, then again with AddressSanitizer and UBSan, the threaded
# sound code's tests with ThreadSanitizer, then the fuzz targets for a
# bounded number of runs from their seeds.
THREADED_TESTS := sound_thread_tests player_tests recorder_tests
test: build sanitize-build tsan-build fuzz-build
	cd $(BUILD) && ctest --output-on-failure
	cd $(ASAN_BUILD) && ctest --output-on-failure --label-exclude packaging
	cd $(TSAN_BUILD) && ctest --output-on-failure -R '^(SoundThreadRules|StreamWatch|DiskPlayer|Recorder)[.]'
	cd $(FUZZ_BUILD) && ctest --output-on-failure
	@python3 tools/count-lines.py .

sanitize-build: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZORBANU_SANITIZE=ON
	cmake --build $(ASAN_BUILD)

tsan-build: deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZORBANU_TSAN=ON
	cmake --build $(TSAN_BUILD) --target $(THREADED_TESTS) zorbanu_fonts zorbanu_translations

fuzz-build: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=$(FUZZ_CXX) -DZORBANU_FUZZ=ON \
	  -DZORBANU_BUILD_WINDOW=OFF -DZORBANU_BUILD_TESTS=OFF
	cmake --build $(FUZZ_BUILD)

# Long fuzzing: each target for FUZZ_SECONDS, growing a corpus under the
# build folder from the committed seeds.
fuzz: fuzz-build
	for target in read_number clip; do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$target && \
	  $(FUZZ_BUILD)/tests/fuzz/fuzz_$$target -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 -malloc_limit_mb=300 \
	    -artifact_prefix=$(FUZZ_BUILD)/ $(FUZZ_BUILD)/corpus/$$target tests/fuzz/corpus/$$target || exit 1; \
	done

# Performance figures of the real program: each benchmark of bench/ in turn,
# every one on an Xvfb of its own (they need no display and no sound card),
# the soak with SOAK_ROUNDS rounds (about a minute and a quarter on a 2-core
# machine).
SOAK_ROUNDS ?= 500000
XVFB := xvfb-run -a -s "-screen 0 1024x768x24 -noreset"
bench: build
	$(XVFB) $(BUILD)/bench/zorbanu_bench_start_up
	$(XVFB) $(BUILD)/bench/zorbanu_bench_voice
	$(XVFB) $(BUILD)/bench/zorbanu_bench_clip_gaps
	$(XVFB) $(BUILD)/bench/zorbanu_bench_enter_to_tick
	$(XVFB) $(BUILD)/bench/zorbanu_bench_idle_release
	$(XVFB) $(BUILD)/bench/zorbanu_bench_soak $(SOAK_ROUNDS)

# Debian packages (debian/, built by debhelper): the source package, and the
# program, its debug symbols and the voice pack, from a copy of the tree in
# $(DEB_BUILD)/source, without building or running the tests again
# (DEB_BUILD_OPTIONS=nocheck, and the nocheck build profile, so the test-only
# Build-Depends need not be installed). The .dsc, .tar.xz,
# .debs, .changes and .buildinfo are left in $(DEB_BUILD), and lintian, run on
# the .changes (source and binaries), fails the target on any error or
# warning.
# Whoever publishes the packages sets their own name and address:
#   make package ZORBANU_MAINTAINER="Name <address>"
# and the homepage that software centres link to:
#   make package ZORBANU_HOMEPAGE=https://...
ZORBANU_MAINTAINER ?= Zorbanu Developers <zorbanu-devel@users.noreply.example.org>
ZORBANU_HOMEPAGE ?= https://zorbanu.example.org/
package: export ZORBANU_MAINTAINER := $(ZORBANU_MAINTAINER)
package: export ZORBANU_HOMEPAGE := $(ZORBANU_HOMEPAGE)
package:
	@bash tools/install-deps.sh --packaging
	@rm -rf $(DEB_BUILD) && mkdir -p $(DEB_BUILD)/source
	@tar -cf - --exclude-vcs --exclude='./build*' --exclude='./$(DEB_BUILD)' --exclude=./.cache \
	  --exclude=./compile_commands.json . | tar -xf - -C $(DEB_BUILD)/source
	@cd $(DEB_BUILD)/source && \
	  perl -pi -e 's/^Maintainer: .*/Maintainer: $$ENV{ZORBANU_MAINTAINER}/' debian/control && \
	  perl -pi -e '$$n ||= s/^ -- .+?>  / -- $$ENV{ZORBANU_MAINTAINER}  /' debian/changelog && \
	  perl -pi -e 's{<url type="homepage">.*?</url>}{<url type="homepage">$$ENV{ZORBANU_HOMEPAGE}</url>}' \
	    data/org.zorbanu.Zorbanu.metainfo.xml
	@echo "dpkg-buildpackage -us -uc  (log: $(DEB_BUILD)/build.log)"
	@cd $(DEB_BUILD)/source && DEB_BUILD_OPTIONS="nocheck $$DEB_BUILD_OPTIONS" \
	  DEB_BUILD_PROFILES="nocheck $$DEB_BUILD_PROFILES" \
	  dpkg-buildpackage -us -uc >../build.log 2>&1 || { tail -n 30 ../build.log; exit 1; }
	@rm -rf $(DEB_BUILD)/source
	lintian --pedantic --fail-on error,warning $(DEB_BUILD)/*.changes
	@ls $(DEB_BUILD)/*.deb

clean:
	rm -rf $(BUILD) $(DEB_BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)
