# make test: install what is missing, build from scratch, run every test.
# make run:  install what is missing, build the program and start it.

BUILD    ?= build
JOBS     ?= $(shell nproc)
PACKAGES  = g++ cmake ninja-build libgtest-dev libgmock-dev libbenchmark-dev \
            qt6-base-dev fonts-dejavu-core clang libclang-rt-14-dev

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

test: deps
	rm -rf $(BUILD)/test
	cmake -S . -B $(BUILD)/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD)/test -j $(JOBS)
	cd $(BUILD)/test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

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
