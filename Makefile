# Thin entry points: everything real lives in CMake and the scripts.
.PHONY: test run play-build package package-only release bench web web-only bench-web windows windows-only dist clean


# The optimised game and its Debian package come first: the idle-CPU, valgrind
# and install tests use them; the page and the Windows programs follow for
# theirs. Everything else runs under the dev preset's sanitizers.
test:
	scripts/install-deps
	$(MAKE) package-only
	$(MAKE) web-only
	$(MAKE) windows-only
	cmake --preset dev -DTESSERA_RELEASE_BINARY=$(CURDIR)/build/play/tessera \
		-DTESSERA_DEB=$$(ls $(CURDIR)/build/play/tessera_*_amd64.deb) \
		-DTESSERA_WEB_BUILD=$(CURDIR)/build/web \
		-DTESSERA_WINDOWS_BUILD=$(CURDIR)/build/windows
	cmake --build --preset dev
	ctest --preset dev

# Only the game and the stage tool, optimised; the progress stays in ./run.
run:
	scripts/install-deps --play
	cmake --preset play
	cmake --build --preset play --target tessera tessera_stages
	scripts/prepare-run-dir build/play run
	cd run && ../build/play/tessera

play-build:
	cmake --preset play
	cmake --build --preset play

package:
	scripts/install-deps --package
	$(MAKE) package-only

# Under umask 022 whatever the caller's: the package's directories and members take it.
package-only: play-build
	rm -f build/play/tessera_*_amd64.deb
	cd build/play && umask 022 && cpack -G DEB
	@ls build/play/tessera_*_amd64.deb

release:
	scripts/install-deps
	cmake --preset release
	cmake --build --preset release

# The frame and solver benchmarks, then the idle window's CPU use and frame rate under Xvfb.
bench: release
	build/release/bench/tessera-bench
	bash tests/e2e/window_test.sh idle-figure $(CURDIR)/build/release/tessera $(CURDIR)/build/release/tessera \
		$(CURDIR)/build/release/run -

# The browser page in build/web/page: the native play build makes the glyph
# pack and the stages, Emscripten the rest. scripts/serve-web serves it.
web:
	scripts/install-deps --web
	$(MAKE) web-only
	@echo "the page is in build/web/page: scripts/serve-web serves it"

web-only:
	cmake --preset play
	cmake --build --preset play --target tessera tessera-glyphs tessera-icon tessera_stages
	cmake --preset web
	cmake --build --preset web

# The Windows programs, their zip and their installer in build/windows, cross-built
# with MinGW-w64: the native play build makes the glyph pack, the stages and the icon first.
windows:
	scripts/install-deps --windows
	$(MAKE) windows-only
	@ls -l build/windows/tessera.exe build/windows/tessera-stages.exe build/windows/tessera-*-windows.zip \
		build/windows/tessera-setup.exe

windows-only:
	cmake --preset play
	cmake --build --preset play --target tessera tessera-glyphs tessera-icon tessera_stages
	cmake --preset windows
	cmake --build --preset windows

# The heaviest frame in Chromium against the native release build, and the idle page's CPU.
bench-web: release web-only
	scripts/bench-web

# build/tessera-VERSION.tar.gz: the committed sources, the same bytes from every checkout.
dist:
	scripts/make-dist

clean:
	rm -rf build
