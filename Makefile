# The README's commands. Each installs what is missing, configures and builds first.
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

PREFIX ?= /usr/local
DESTDIR ?=

.PHONY: deps configure build test bench run artwork install-gimp install uninstall clean windows

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: configure
	@cmake --build $(BUILD) -j $(JOBS)
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b" || exit 1; done

# Renders the bundled sample scene with the default settings.
run: configure
	@cmake --build $(BUILD) -j $(JOBS) --target tarve tarve_module sample_scene_image
	@$(BUILD)/tarve apply $(BUILD)/sample-scene.png -o $(BUILD)/sample-water.png
	@echo "The sample scene with water: $(abspath $(BUILD))/sample-water.png"

# Writes every picture of the module, a contact sheet and a mock-up of the main dialog.
artwork: configure
	@cmake --build $(BUILD) -j $(JOBS) --target write_artwork
	@mkdir -p $(BUILD)/artwork && $(BUILD)/write_artwork $(BUILD)/artwork
	@echo "The module's pictures: $(abspath $(BUILD))/artwork/"

# Builds the GIMP plug-in and installs it, with the module beside it, for the current user.
install-gimp:
	@scripts/install-deps --gimp
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target tarve_gimp tarve_module tarve_gtk
	@echo "The GIMP plug-in (Filters > Light and Shadow > Tarve...) is in $$(scripts/install-gimp-plugin $(BUILD))"

# The module and the program for 64-bit Windows, cross-built with mingw-w64 into
# $(WINDOWS_BUILD): Tarve.8bf and tarve.exe. libjpeg is compiled from libjpeg-turbo's source.
WINDOWS_BUILD ?= build-windows
JPEG_TURBO ?= $(abspath ../shared/third_party/libjpeg-turbo-3.2.0.tar.gz)
windows:
	$(if $(wildcard $(JPEG_TURBO)),,$(error no libjpeg-turbo source at $(JPEG_TURBO): give its .tar.gz or folder as JPEG_TURBO=...))
	@scripts/install-deps --windows
	@cmake -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DTARVE_JPEG_TURBO_SOURCE="$(JPEG_TURBO)" $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(WINDOWS_BUILD) -j $(JOBS)

# The program, the module with its property list and terminology, and the manual page, under
# $(DESTDIR)$(PREFIX).
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

uninstall:
	rm -f "$(DESTDIR)$(PREFIX)/bin/tarve" "$(DESTDIR)$(PREFIX)/share/man/man1/tarve.1"
	rm -f "$(DESTDIR)$(PREFIX)/lib/tarve/Tarve.8bf" "$(DESTDIR)$(PREFIX)/lib/tarve/Tarve.pipl" \
	  "$(DESTDIR)$(PREFIX)/lib/tarve/Tarve.aete" "$(DESTDIR)$(PREFIX)/lib/tarve/Tarve-gtk.so"
	-rmdir "$(DESTDIR)$(PREFIX)/lib/tarve" 2>/dev/null

clean:
	rm -rf $(BUILD)
