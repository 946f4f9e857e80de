# The project's two commands: `make run` and `make test`. Each does all of its own set-up.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: run test build setup

setup:
	@./tools/setup-debian.sh

build: setup
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD_DIR) -j$(JOBS)

test: build
	@./tools/run-tests.sh $(BUILD_DIR)

run: build
	@./tools/run-demo.sh $(BUILD_DIR)
