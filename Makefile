# Convenience entry points; the real build is CMake. QT=6 builds against Qt 6, in a folder
# of its own, so both majors can be built side by side.
QT ?= 5
ifeq ($(QT),5)
BUILD ?= build
ASAN_BUILD ?= build-asan
QT_DEBS = qtbase5-dev libqt5serialport5-dev qttools5-dev qttools5-dev-tools qttranslations5-l10n
else ifeq ($(QT),6)
BUILD ?= build-qt6
ASAN_BUILD ?= build-qt6-asan
QT_DEBS = qt6-base-dev qt6-serialport-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools \
          qt6-translations-l10n
else
$(error QT must be 5 or 6, not '$(QT)')
endif
JOBS ?= $(shell nproc)
DEBS = cmake g++ make pkg-config ccache $(QT_DEBS) libudev-dev libbenchmark-dev xvfb dpkg-dev help2man \
       fonts-wqy-microhei
# Rebuilds (both majors, the sanitizer pass, another clone) take what ccache kept; paths are
# taken relative to the checkout, so a clone elsewhere finds them too.
CCACHE = $(shell command -v ccache)
export CCACHE_BASEDIR ?= $(CURDIR)
export CCACHE_NOHASHDIR ?= 1
CONFIGURE = cmake -S . $(if $(CCACHE),-DCMAKE_CXX_COMPILER_LAUNCHER=$(CCACHE)) -DKORU_QT_MAJOR=$(QT)

# apt-get needs root: anyone else goes through sudo.
SUDO = $(if $(filter 0,$(shell id -u)),,sudo)

# A build tree made by root under sudo could not be changed by its user afterwards, so builds
# stop there; plain root (a container, CI) has no other user and builds as it is.
NOT_UNDER_SUDO = @if [ "$$(id -u)" = 0 ] && [ -n "$$SUDO_USER" ] && [ "$$SUDO_USER" != root ]; then \
	    echo "Not building as root: run 'make $(MAKECMDGOALS)' as $$SUDO_USER; it uses sudo for apt-get only." >&2; \
	    exit 1; \
	fi

.PHONY: deps build demo test sanitize package clean

deps:
	@missing=$$(for p in $(DEBS); do \
	    dpkg-query -W -f='$${db:Status-Status}' $$p 2>/dev/null | grep -qx installed || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing:" $$missing; \
	    if [ -n "$(SUDO)" ] && ! command -v sudo >/dev/null; then \
	        echo "sudo is missing: run 'make deps' as root first." >&2; exit 1; \
	    fi; \
	    $(SUDO) apt-get update -qq && \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

build: deps
	$(NOT_UNDER_SUDO)
	$(CONFIGURE) -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	$(BUILD)/app/koru-assistant --demo

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -LE soak -j $(JOBS)

sanitize: deps
	$(NOT_UNDER_SUDO)
	$(CONFIGURE) -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKORU_SANITIZE=ON -DKORU_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --output-on-failure -LE soak -j $(JOBS)

package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
