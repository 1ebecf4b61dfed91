# Front door over CMake: `make run` and `make test`.
BUILD ?= build
CLIPS := $(BUILD)/clips
DEB_BUILD ?= build-deb
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test package fuzz bench clean

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

test: build
	cd $(BUILD) && ctest --output-on-failure

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
	rm -rf $(BUILD) $(DEB_BUILD)
