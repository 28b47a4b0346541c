# Lumora: `make run` and `make test` set up a fresh Debian machine, build and
# run.  Missing packages are installed with apt-get (through sudo when not root).

BUILD      ?= build
TEST_BUILD ?= build/sanitize
BENCH_BUILD ?= build/bench
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
DISC       ?=
DEMO_DIR   := $(BUILD)/demo

PACKAGES := cmake make g++ pkg-config \
            qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libgl-dev \
            libpng-dev zlib1g-dev libgtest-dev nlohmann-json3-dev libimagequant-dev \
            libsndfile1-dev libsamplerate0-dev \
            xvfb xauth x11-apps
# The stream tests and the demultiplexer benchmark compare against FFmpeg, the
# sound tests against libbluray.
CHECK_PACKAGES := ffmpeg libbluray-dev

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build run test bench shots format clean

all: build

# apt-get update runs once, and only when something is missing.
deps:
	@missing=""; \
	for p in $(PACKAGES) $(EXTRA_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMORA_BUILD_TESTS=OFF

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

$(DEMO_DIR)/BDMV/index.bdmv: | build
	$(BUILD)/bin/lumora-cli make-demo $(DEMO_DIR)

# The GUI on the demo disc (or DISC=path); without a display the folder check
# is printed instead.
run: build $(DEMO_DIR)/BDMV/index.bdmv
	@disc="$(if $(DISC),$(DISC),$(DEMO_DIR)/BDMV)"; \
	if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ] && [ -x $(BUILD)/bin/lumora ]; then \
	  if [ -f "$$disc" ]; then arg="$$disc"; \
	  elif [ -f "$$disc/index.bdmv" ] || [ -f "$$disc/INDEX.BDM" ]; then arg="$$disc/index.bdmv"; \
	  else arg="$$disc/BDMV/index.bdmv"; fi; \
	  exec $(BUILD)/bin/lumora "$$arg"; \
	else \
	  echo "No display: the folder check of $$disc follows."; \
	  exec $(BUILD)/bin/lumora-cli check "$$disc"; \
	fi

# Every test, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test: EXTRA_PACKAGES = $(CHECK_PACKAGES)
test: deps
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DLUMORA_SANITIZE=ON
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  ctest --output-on-failure -j $(JOBS)

bench: EXTRA_PACKAGES = $(CHECK_PACKAGES)
bench: deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DLUMORA_BUILD_TESTS=OFF \
	  -DLUMORA_BUILD_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	$(BENCH_BUILD)/bin/lumora-bench

# Pictures of every tab at the minimum window size, taken under Xvfb.
shots: deps
	cmake -S . -B $(BUILD) -DLUMORA_BUILD_TOOLS=ON
	cmake --build $(BUILD) -j $(JOBS) --target lumora-shots
	xvfb-run -a -s "-screen 0 1280x1024x24" $(BUILD)/bin/lumora-shots $(BUILD)/shots $(DISC)

format:
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
