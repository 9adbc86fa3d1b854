# Convenience entry points; the real build is CMake.
BUILD ?= build
JOBS ?= $(shell nproc)
DEBS = cmake g++ make pkg-config qtbase5-dev libqt5serialport5-dev qttools5-dev qttools5-dev-tools \
       libudev-dev libbenchmark-dev xvfb dpkg-dev

.PHONY: deps build demo test sanitize package clean

deps:
	@missing=$$(for p in $(DEBS); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing: $$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	$(BUILD)/app/koru-assistant --demo

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -LE soak -j $(JOBS)

sanitize: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKORU_SANITIZE=ON -DKORU_BENCH=OFF
	cmake --build build-asan -j $(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --output-on-failure -LE soak -j $(JOBS)

package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) build-asan
