# Front door over CMake: `make run` and `make test`.
BUILD ?= build
CLIPS := $(BUILD)/clips
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test clips package fuzz bench clean

all: build

deps:
	@bash tools/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

# The voice pack is made once; its stamp is written last, so a half-made
# pack is made again.
$(CLIPS)/.complete:
	bash tools/make-voice-pack.sh $(CLIPS)

clips: deps $(CLIPS)/.complete

run: build clips
	cd $(CLIPS) && ../zorbanu

test: build
	cd $(BUILD) && ctest --output-on-failure

# Performance figures of the real program (needs no display: runs on Xvfb).
bench: build
	xvfb-run -a -s "-screen 0 1024x768x24 -noreset" $(BUILD)/bench/zorbanu_bench

clean:
	rm -rf $(BUILD)
