# make test: install what is missing, build from scratch, run every test.
# make run:  install what is missing, build the program and start it.
# make fuzz: build the libFuzzer targets with clang and run each briefly.

BUILD    ?= build
JOBS     ?= $(shell nproc)
PACKAGES  = g++ cmake ninja-build libgtest-dev libgmock-dev libbenchmark-dev \
            qt6-base-dev qt6-translations-l10n fonts-dejavu-core clang libclang-rt-14-dev

.PHONY: all deps test run bench fuzz clean

all: test

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then sudo=""; else sudo="sudo"; fi; \
	  echo "Installing:$$missing"; \
	  $$sudo apt-get update && \
	  $$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi

FUZZ_TARGETS = decode_packets coordinate_files raw_text_store str_to_int file_round_trip raw_text_file \
               upload_packets
FUZZ_SECONDS ?= 3
# ON turns compiler warnings into errors; make test builds so.
WERROR ?= OFF

test: deps
	rm -rf $(BUILD)/test $(BUILD)/fuzz
	cmake -S . -B $(BUILD)/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVEX_WARNINGS_AS_ERRORS=ON
	cmake --build $(BUILD)/test -j $(JOBS)
	cd $(BUILD)/test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	$(MAKE) fuzz WERROR=ON

# Each target runs on a copy of its committed corpus, which stays as it is.
# A crash or a sanitizer report makes the fuzzer, and so this target, fail.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(BUILD)/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKORVEX_BUILD_FUZZ=ON -DKORVEX_WARNINGS_AS_ERRORS=$(WERROR)
	cmake --build $(BUILD)/fuzz -j $(JOBS)
	set -e; for t in $(FUZZ_TARGETS); do \
	  rm -rf $(BUILD)/fuzz/corpus/$$t; mkdir -p $(BUILD)/fuzz/corpus/$$t; \
	  cp tests/fuzz/corpus/$$t/* $(BUILD)/fuzz/corpus/$$t/; \
	  echo "Fuzzing $$t for $(FUZZ_SECONDS) s"; \
	  $(BUILD)/fuzz/tests/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=0 \
	    -artifact_prefix=$(BUILD)/fuzz/ $(BUILD)/fuzz/corpus/$$t 2>$(BUILD)/fuzz/$$t.log \
	    || { tail -n 60 $(BUILD)/fuzz/$$t.log; exit 1; }; \
	  tail -n 1 $(BUILD)/fuzz/$$t.log; \
	done

run: deps
	cmake -S . -B $(BUILD)/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DKORVEX_BUILD_TESTS=OFF -DKORVEX_BUILD_BENCH=OFF
	cmake --build $(BUILD)/release -j $(JOBS) --target Korvex
	$(BUILD)/release/ui/Korvex

bench: deps
	cmake -S . -B $(BUILD)/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DKORVEX_BUILD_TESTS=OFF -DKORVEX_BUILD_BENCH=ON
	cmake --build $(BUILD)/release -j $(JOBS)
	for b in $(BUILD)/release/bench/bench_*; do $$b; done

clean:
	rm -rf $(BUILD)
