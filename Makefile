# Two commands do all the set-up on a fresh Debian machine:
#   make run   installs what is missing, builds, starts the program
#   make test  installs what is missing, builds, runs every test
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
ifeq ($(CI),true)
CMAKE_FLAGS += -DTOLVARINE_WERROR=ON
endif

.PHONY: deps configure build test run demo bench bench-ui sanitize sanitize-ui fuzz package clean

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

# A .deb of the program (CPack; installs under /usr), then lintian's verdict on it.
package: build
	cd $(BUILD) && cpack -G DEB
	lintian $(BUILD)/tolvarine_*.deb

# Serves a small sample site on 127.0.0.1 and walks it without a window.
demo: build
	@bash scripts/demo.sh $(BUILD)

bench: deps
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DTOLVARINE_BENCH=ON -DTOLVARINE_WITH_QT=OFF
	cmake --build $(BUILD)-bench -j $(JOBS) --target tolvarine_bench
	$(BUILD)-bench/bench/tolvarine_bench

# The window's list view and the WebEngine memory walk (Qt benchmarks; run by hand).
bench-ui: deps
	cmake -S . -B $(BUILD)-bench-ui -DCMAKE_BUILD_TYPE=Release -DTOLVARINE_BENCH=ON
	cmake --build $(BUILD)-bench-ui -j $(JOBS) --target list_view_bench web_memory_walk
	$(BUILD)-bench-ui/bench/list_view/list_view_bench
	@echo "Memory over a long walk (pages, recycle every N): $(BUILD)-bench-ui/bench/web_memory/web_memory_walk 1000 1"

# The tests of base, engine and tools under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake -S . -B $(BUILD)-asan -DCMAKE_BUILD_TYPE=Debug -DTOLVARINE_SANITIZE=ON -DTOLVARINE_WITH_QT=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD)-asan -j $(JOBS)
	cd $(BUILD)-asan && ctest --output-on-failure -j $(JOBS)

# The Qt parts' tests (main window, side windows, notification area, WebEngine pane) under
# AddressSanitizer and UndefinedBehaviorSanitizer: a Debug build with Qt where only these test
# binaries are built. Leak reports are off: Qt, fontconfig and Chromium keep process-lifetime
# allocations that are not faults of this program. For the WebEngine pane's tests the sized
# delete check is off too: Chromium's own code (not instrumented, in libQt6WebEngineCore)
# deletes some of its objects with a size that differs from the allocated one.
SANITIZE_UI_TESTS ?= ui_main_tests ui_side_tests ui_tray_tests ui_web_tests
SANITIZE_UI_JOBS ?= 2
sanitize-ui: deps
	cmake -S . -B $(BUILD)-asan-ui -DCMAKE_BUILD_TYPE=Debug -DTOLVARINE_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD)-asan-ui -j $(SANITIZE_UI_JOBS) --target $(SANITIZE_UI_TESTS)
	@set -e; for t in $(SANITIZE_UI_TESTS); do \
	  exe=$$(find $(BUILD)-asan-ui/tests -type f -name $$t -perm -u+x | head -n 1); \
	  asan=detect_leaks=0:abort_on_error=1; \
	  case $$t in ui_web_tests) asan=$$asan:new_delete_type_mismatch=0;; esac; \
	  echo "== $$t"; \
	  QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 \
	  ASAN_OPTIONS=$$asan UBSAN_OPTIONS=print_stacktrace=1 \
	    $$exe --gtest_brief=1; \
	done

# Each fuzz target under libFuzzer (clang, ASan, UBSan) for FUZZ_SECONDS seconds, one after the
# other. The seeds are copied into $(BUILD)-fuzz/corpus so new inputs never land in fuzz/corpus;
# a failing input is saved in $(BUILD)-fuzz/artifacts. FUZZ_FLAGS go to every run
# (for example -len_control=0 to try long inputs at once).
FUZZ_SECONDS ?= 60
FUZZ_FLAGS ?=
FUZZ_TARGETS ?= number_text line_reader line_split phone_scan formatted_phones link_rules progress_file merge_dedup
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(BUILD)-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVARINE_FUZZ=ON -DTOLVARINE_WITH_QT=OFF
	cmake --build $(BUILD)-fuzz -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	@set -e; mkdir -p $(BUILD)-fuzz/artifacts; for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(BUILD)-fuzz/corpus/$$t; cp fuzz/corpus/$$t/* $(BUILD)-fuzz/corpus/$$t/; \
	  echo "== fuzz_$$t for $(FUZZ_SECONDS) s"; \
	  $(BUILD)-fuzz/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 $(FUZZ_FLAGS) \
	    -artifact_prefix=$(BUILD)-fuzz/artifacts/$$t- $(BUILD)-fuzz/corpus/$$t; \
	done

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-asan $(BUILD)-asan-ui
