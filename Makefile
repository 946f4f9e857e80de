# The project's two commands: `make run` and `make test`. Each does all of its own set-up.
# Also: `make package` (the Debian package), `make fuzz` (libFuzzer, FUZZ_SECONDS per target),
# `make test-sanitize` (the whole suite under AddressSanitizer, UBSan and LeakSanitizer).
BUILD_DIR ?= build
SANITIZE_BUILD_DIR ?= build-sanitize
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)
# Given on every configure, so that a build folder made before /usr became the default still
# builds a package, and a program, for /usr.
PREFIX ?= /usr

.PHONY: run test build setup package fuzz test-sanitize

setup:
	@./tools/setup-debian.sh

build: setup
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=$(PREFIX) >/dev/null
	@cmake --build $(BUILD_DIR) -j$(JOBS)

test: build
	@./tools/run-tests.sh $(BUILD_DIR)

run: build
	@./tools/run-demo.sh $(BUILD_DIR)

package: build
	@cd $(BUILD_DIR) && cpack -G DEB
	@ls $(BUILD_DIR)/*.deb

fuzz: setup
	@./tools/run-fuzz.sh $(FUZZ_BUILD_DIR) $(FUZZ_SECONDS)

test-sanitize: setup
	@cmake -S . -B $(SANITIZE_BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=$(PREFIX) -DBRISEL_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE_BUILD_DIR) -j$(JOBS)
	@./tools/run-tests.sh --sanitize $(SANITIZE_BUILD_DIR)
