# Front end over CMake. `make demo` and `make test` work on a fresh machine.
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
RELEASE_BUILD ?= build-release
FUZZ_BUILD ?= build-fuzz
DEB_BUILD ?= build-deb
CMAKE_GEN := -G Ninja
# Warnings stop the builds made here (and so CI); plain CMake builds only warn.
CMAKE_OPTIONS := $(CMAKE_GEN) -DAVG_WERROR=ON

.PHONY: all deps build build-asan build-release demo test fuzz fuzz-long bench deb clean

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja: deps
	cmake -S . -B $(BUILD) $(CMAKE_OPTIONS) -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(ASAN_BUILD)/build.ninja: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_OPTIONS) -DCMAKE_BUILD_TYPE=Debug -DAVG_SANITIZE=ON

# The optimizer at -O3 sees more (and warns of more) than the other builds.
$(RELEASE_BUILD)/build.ninja: deps
	cmake -S . -B $(RELEASE_BUILD) $(CMAKE_OPTIONS) -DCMAKE_BUILD_TYPE=Release

build: $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

build-asan: $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)

build-release: $(RELEASE_BUILD)/build.ninja
	cmake --build $(RELEASE_BUILD) -j $(JOBS)

# Without a display the demo runs headless: its messages go to stderr, its log to
# $(BUILD)/demo-game/ErrorLog.txt.
demo: build
	bash demo/make_game.sh $(BUILD)/demo-game
	./$(BUILD)/avgplayer $(if $(DISPLAY)$(WAYLAND_DISPLAY),,--headless) $(BUILD)/demo-game
	@cat $(BUILD)/demo-game/ErrorLog.txt 2>/dev/null || true

test: build build-asan build-release
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(RELEASE_BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) fuzz

# libFuzzer targets (clang), each run from the seeds in fuzz/corpus: for about 10 s each
# (`fuzz`, part of `test`), or to 1,000,000 executions each (`fuzz-long`).
$(FUZZ_BUILD)/build.ninja: deps
	cmake -S fuzz -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_CXX_COMPILER=clang++

fuzz: $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target run-fuzzers

fuzz-long: $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target run-fuzzers-long

bench: deps
	cmake -S . -B $(BUILD) $(CMAKE_OPTIONS) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS) --target bench-all

# The Debian package, built with the distribution's own (hardened) flags and no -Werror:
# $(DEB_BUILD)/avgplayer_VERSION_ARCH.deb. Only what the package holds is built.
DEB_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
deb: deps
	cmake -S . -B $(DEB_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
	  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
	  -DCMAKE_C_FLAGS="$$($(DEB_FLAGS) CFLAGS) $$($(DEB_FLAGS) CPPFLAGS)" \
	  -DCMAKE_CXX_FLAGS="$$($(DEB_FLAGS) CXXFLAGS) $$($(DEB_FLAGS) CPPFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$($(DEB_FLAGS) LDFLAGS)"
	cmake --build $(DEB_BUILD) -j $(JOBS) --target avgplayer avgpack avgscript avg_dist_files
	cd $(DEB_BUILD) && cpack -G DEB
	lintian --fail-on error $(DEB_BUILD)/avgplayer_*.deb

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(RELEASE_BUILD) $(FUZZ_BUILD) $(DEB_BUILD)
