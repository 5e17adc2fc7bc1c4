# make run  — install what is missing, build, start the cat
# make test — install what is missing, build, run every test
# make test SANITIZE=1 — the unit tests and the e2e scripts that quit while the app is busy, built
#   with AddressSanitizer and UndefinedBehaviorSanitizer (-O1) in build-asan; CI runs it too
# make install PREFIX=DIR — install into DIR/Purrlox and register purrlox:// links for the user
#   (PREFIX=/usr or /usr/local: the FHS layout a distribution package has)
# make deb — build/purrlox_<version>_<arch>.deb
# make dist — a signed release in $(BUILD)/dist/update (key: PURRLOX_SIGNING_KEY or SIGNING_KEY_FILE)
BUILD ?= build
JOBS ?= 2
PREFIX ?= $(HOME)/.local/opt

# What building needs, what running needs, and what the tests add. `make run` and
# `make install` install the first two; `make test` all three.
BUILD_PACKAGES := build-essential cmake pkg-config git \
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev \
  libxcb1-dev libxcb-screensaver0-dev libxcb-xinput-dev libxcb-res0-dev libxcb-xfixes0-dev \
  libxcb-shape0-dev libxcb-randr0-dev libx11-dev libsodium-dev libpulse-dev libarchive-dev \
  libxcb-dpms0-dev libgtest-dev libgmock-dev libbenchmark-dev \
  libwayland-dev wayland-protocols plasma-wayland-protocols
RUN_PACKAGES := qt6-qpa-plugins qt6-translations-l10n fonts-comfortaa fonts-noto-color-emoji \
  xdg-utils
# The third-party panel, mixer, player and screen saver are real programs the e2e tests drive.
TEST_PACKAGES := xvfb openbox picom xterm x11-utils x11-xserver-utils xdotool imagemagick jq bc \
  poppler-utils pulseaudio pulseaudio-utils dbus-daemon dbus-bin passwd util-linux \
  xpenguins oneko trayer desktop-file-utils appstream lintian file python3 python3-gi \
  tint2 pavucontrol mpv mpv-mpris xscreensaver sox \
  kwin-wayland xwayland weston xdg-dbus-proxy libglib2.0-bin qt6-wayland nodejs \
  gnome-shell foot dconf-service gjs \
  sway grim wtype at-spi2-core python3-pyatspi faketime mupdf-tools clang-format
PACKAGES := $(BUILD_PACKAGES) $(RUN_PACKAGES)

# The sanitizer run: its own build folder, only what it runs, and any report fails it. Leaks are
# not looked for: at exit Qt, X11 and fontconfig leave their singletons behind, and those stacks
# all pass through the event loop, so no suppression could tell theirs from ours; this run is
# for memory used after it was freed, and undefined behaviour. The quarantine of freed memory is
# kept to 32 MB (256 by default) so that the memory tests measure the program, not the sanitizer.
ifeq ($(SANITIZE),1)
BUILD := build-asan
# -O1 with line tables only: the run's own build comes in well under half the plain one's time,
# and every report still names file and line.
CMAKE_OPTIONS += -DPURRLOX_SANITIZE=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
SANITIZE_REPORTS = $(abspath $(BUILD))/sanitizer-reports
SANITIZE_ENV = ASAN_OPTIONS=halt_on_error=1:detect_leaks=0:quarantine_size_mb=32:log_path=$(SANITIZE_REPORTS)/asan \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:log_path=$(SANITIZE_REPORTS)/ubsan
# The scripts that quit while something is under way (a walk, a language relaunch, the trash
# thread's moves, the focus log's worker, the sway channel's reconnect), drop files, drag the
# bed and open the tray menu.
SANITIZE_E2E := cat_quit_walking_test cat_quit_busy_test sway_quit_reconnecting_test \
  cat_eats_files_test cat_bed_drag_test menu_tray_test
endif

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build run test unit e2e bench format contact-sheet clean install dist deb

# The test tools come in only for the targets that run tests.
test unit e2e bench: PACKAGES += $(TEST_PACKAGES)

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get -o DPkg::Lock::Timeout=600 update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
	    --no-install-recommends $$missing; \
	fi

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_OPTIONS)

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/purrlox

ifeq ($(SANITIZE),1)
test: configure
	cmake --build $(BUILD) -j$(JOBS) --target purrlox x11probe cat-ask drag-files make_focus_log \
	  $$(cmake --build $(BUILD) --target help | sed -n 's/^\.\.\. \(test_[a-z0-9]*\|[a-z_]*_probe\)$$/\1/p')
	rm -rf $(SANITIZE_REPORTS) && mkdir -p $(SANITIZE_REPORTS)
	cd $(BUILD) && $(SANITIZE_ENV) ctest --output-on-failure -j$(JOBS) --timeout 900 -L unit; \
	  unit=$$?; \
	  $(SANITIZE_ENV) ctest --output-on-failure --timeout 600 \
	    -R '^e2e_($(subst $(eval) ,|,$(SANITIZE_E2E)))$$'; \
	  e2e=$$?; \
	  if ls $(SANITIZE_REPORTS)/* >/dev/null 2>&1; then cat $(SANITIZE_REPORTS)/*; \
	    echo "sanitizer reports above (in $(SANITIZE_REPORTS))"; exit 1; fi; \
	  [ $$unit = 0 ] && [ $$e2e = 0 ]
else
test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS) --timeout 600
endif

unit: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS) -L unit

e2e: build
	cd $(BUILD) && ctest --output-on-failure -L e2e

bench: build
	@for b in $(BUILD)/bench/*_bench; do [ -x "$$b" ] && "$$b"; done

# A system prefix (/usr, /usr/local) gets the FHS layout, stripped and unregistered; any other
# prefix gets the self-contained Purrlox folder that updates itself.
SYSTEM_PREFIX := $(filter /usr /usr/ /usr/local /usr/local/,$(PREFIX))
install: build
ifneq ($(SYSTEM_PREFIX),)
	$(SUDO) cmake --install $(BUILD) --prefix $(PREFIX) --strip
else
	cmake --install $(BUILD) --prefix "$(abspath $(PREFIX))/Purrlox"
endif

# The Debian package: its own build folder with dpkg-buildflags' hardening and without the
# self-updater (apt keeps it current).
deb: deps
	tools/build-deb.sh . $(BUILD)/deb $(BUILD) $(JOBS)

# The release: the Purrlox folder with its signed file list, as a gzip'd tar, and the signed
# manifest naming it. Build with -DPURRLOX_UPDATE_PUBLIC_KEY=<public key> for real releases.
DIST := $(BUILD)/dist
dist: build
	@grep -q '^PURRLOX_UPDATE_PUBLIC_KEY:STRING=.' $(BUILD)/CMakeCache.txt || \
	  echo "warning: this build pins its own test key; configure with -DPURRLOX_UPDATE_PUBLIC_KEY=..." >&2
	rm -rf $(DIST) && mkdir -p $(DIST)/update
	PURRLOX_NO_REGISTER=1 cmake --install $(BUILD) --prefix $(DIST)/root/Purrlox --strip
	$(BUILD)/purrlox-sign $(if $(SIGNING_KEY_FILE),--key-file $(SIGNING_KEY_FILE)) folder $(DIST)/root/Purrlox
	tar -C $(DIST)/root --owner=0 --group=0 --numeric-owner --sort=name -czf $(DIST)/update/Purrlox.tar.gz Purrlox
	$(BUILD)/purrlox-sign $(if $(SIGNING_KEY_FILE),--key-file $(SIGNING_KEY_FILE)) \
	  manifest "$$(cat $(BUILD)/VERSION)" $(DIST)/update/Purrlox.tar.gz >$(DIST)/update/linux
	@echo "Release $$(cat $(BUILD)/VERSION): upload $(DIST)/update/linux and $(DIST)/update/Purrlox.tar.gz"

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

# Labelled sheets of every frame family and animated previews, to look at the art.
contact-sheet: configure
	cmake --build $(BUILD) -j$(JOBS) --target purrlox_frames
	$(BUILD)/art/purrlox-art --frames $(BUILD)/frames --sheets $(BUILD)/contact-sheet

clean:
	rm -rf $(BUILD)
