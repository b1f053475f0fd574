BUILD ?= build

FUZZ_SECONDS ?= 60

.PHONY: setup build run run-setup test test-load fuzz screenshots clean

setup:
	tools/setup.sh

build: setup
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake
	cmake --build $(BUILD)

run: build
	VELMORA_BUILD_DIR=$(BUILD) tools/run.sh

run-setup: build
	VELMORA_BUILD_DIR=$(BUILD) tools/run-setup.sh

test: build
	VELMORA_BUILD_DIR=$(BUILD) tools/test.sh

# Every parser of untrusted input under libFuzzer, FUZZ_SECONDS each (no Wine needed).
fuzz: setup
	tools/native.sh fuzz $(BUILD) $(FUZZ_SECONDS)

test-load: build
	VELMORA_BUILD_DIR=$(BUILD) tools/test-load.sh

screenshots: build
	VELMORA_BUILD_DIR=$(BUILD) tools/screenshots.sh
	VELMORA_BUILD_DIR=$(BUILD) tools/screenshots-setup.sh

clean:
	rm -rf $(BUILD)
