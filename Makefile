# make run  — install what is missing, build, start the cat
# make test — install what is missing, build, run every test
BUILD ?= build
JOBS ?= 2

PACKAGES := build-essential cmake pkg-config git \
  qt6-base-dev qt6-base-dev-tools libgl-dev \
  libxcb1-dev libxcb-screensaver0-dev libxcb-xinput-dev libxcb-res0-dev libxcb-xfixes0-dev \
  libxcb-shape0-dev libx11-dev libsodium-dev libpulse-dev \
  libgtest-dev libgmock-dev libbenchmark-dev \
  fonts-comfortaa fonts-noto-color-emoji \
  xvfb openbox picom xterm x11-utils x11-xserver-utils xdotool imagemagick jq bc poppler-utils \
  xpenguins oneko

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build run test unit e2e bench format contact-sheet clean

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/purrlox

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS) --timeout 600

unit: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS) -L unit

e2e: build
	cd $(BUILD) && ctest --output-on-failure -L e2e

bench: build
	@for b in $(BUILD)/bench/*_bench; do [ -x "$$b" ] && "$$b"; done

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

# Labelled sheets of every frame family and animated previews, to look at the art.
contact-sheet: configure
	cmake --build $(BUILD) -j$(JOBS) --target purrlox_frames
	$(BUILD)/art/purrlox-art --frames $(BUILD)/frames --sheets $(BUILD)/contact-sheet

clean:
	rm -rf $(BUILD)
