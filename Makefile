# Thin entry points: everything real lives in CMake and the scripts.
.PHONY: test run play-build package package-only release bench clean


# The optimised game and its Debian package come first: the idle-CPU, valgrind
# and install tests use them. Everything else runs under the dev preset's
# sanitizers.
test:
	scripts/install-deps
	$(MAKE) package-only
	cmake --preset dev -DTESSERA_RELEASE_BINARY=$(CURDIR)/build/play/tessera \
		-DTESSERA_DEB=$$(ls $(CURDIR)/build/play/tessera_*_amd64.deb)
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

package-only: play-build
	rm -f build/play/tessera_*_amd64.deb
	cd build/play && cpack -G DEB
	@ls build/play/tessera_*_amd64.deb

release:
	scripts/install-deps
	cmake --preset release
	cmake --build --preset release

bench: release
	build/release/bench/tessera-bench

clean:
	rm -rf build
