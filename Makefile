# Two commands do all the set-up on a fresh Debian machine:
#   make run   installs what is missing, builds, starts the program
#   make test  installs what is missing, builds, runs every test
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
ifeq ($(CI),true)
CMAKE_FLAGS += -DTOLVARINE_WERROR=ON
endif

.PHONY: deps configure build test run demo bench sanitize clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)

# Serves a small sample site on 127.0.0.1 and walks it without a window.
demo: build
	@bash scripts/demo.sh $(BUILD)

bench: deps
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DTOLVARINE_BENCH=ON -DTOLVARINE_WITH_QT=OFF
	cmake --build $(BUILD)-bench -j $(JOBS) --target tolvarine_bench
	$(BUILD)-bench/bench/tolvarine_bench

# The tests of base, engine and tools under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake -S . -B $(BUILD)-asan -DCMAKE_BUILD_TYPE=Debug -DTOLVARINE_SANITIZE=ON -DTOLVARINE_WITH_QT=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD)-asan -j $(JOBS)
	cd $(BUILD)-asan && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-asan
