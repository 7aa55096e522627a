# VellumBox: build and test on Debian (cross-compiled with MinGW-w64, run under Wine).
#   make run    build the 64-bit program only, then start it under Wine
#               (VB_LANG=ja make run shows the Japanese window)
#   make test   build both targets, run every test level, print a summary
#   make build  build only
# Every target installs whatever the machine lacks first (tools/setup-toolchain.sh).

SHELL := /bin/bash
JOBS ?= $(shell nproc)
CMAKE_WIN = cmake -G Ninja -DCMAKE_BUILD_TYPE=Release

.PHONY: all setup build build-win64 build-win32 build-win64-tests build-win32-tests build-native run test test-native test-wine \
        test-e2e fuzz bench dist format clean

all: build

setup:
	@./tools/setup-toolchain.sh

build: setup build-win64 build-win32 build-win64-tests build-win32-tests

# The shipped programs: -win32 thread model, nothing imported that XP SP3 lacks.
build-win64:
	@$(CMAKE_WIN) -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake -DVB_GTEST=OFF >/dev/null
	@cmake --build build/win64 -j $(JOBS)

build-win32:
	@$(CMAKE_WIN) -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake -DVB_GTEST=OFF >/dev/null
	@cmake --build build/win32 -j $(JOBS)

# The GoogleTest-based tests under Wine (-posix: GoogleTest needs std::mutex), one tree for
# each program, whose resources they check.
build-win64-tests build-win32-tests: build-%-tests: build-%
	@$(CMAKE_WIN) -S . -B build/$*-tests -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-$(if $(filter win64,$*),x86_64,i686)-w64-mingw32-posix.cmake \
	    -DVB_PROGRAM=$(CURDIR)/build/$*/VellumBox.exe >/dev/null
	@cmake --build build/$*-tests -j $(JOBS)

build-native:
	@cmake -G Ninja -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DVB_SANITIZE=ON >/dev/null
	@cmake --build build/native -j $(JOBS)

run: setup build-win64
	@./tools/run.sh

test: setup build build-native
	@./tools/test-all.sh

fuzz: setup
	@./tools/fuzz.sh

bench: build
	@./tools/with-xvfb.sh ./bench/run.sh

dist: build
	@./tools/dist.sh

# Formats every C++ file by .clang-format.
format: setup
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build dist
