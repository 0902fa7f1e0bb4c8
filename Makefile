# Thin entry points: everything real lives in CMake and the scripts.
.PHONY: test run release bench clean

# The idle-CPU check of the window tests measures the optimised game, so the
# release build of the game comes first; everything else runs under the
# dev preset's sanitizers.
test:
	scripts/install-deps
	cmake --preset release
	cmake --build --preset release --target tessera
	cmake --preset dev -DTESSERA_RELEASE_BINARY=$(CURDIR)/build/release/tessera
	cmake --build --preset dev
	ctest --preset dev

run:
	scripts/install-deps
	cmake --preset release
	cmake --build --preset release
	scripts/prepare-run-dir build/release run
	cd run && ../build/release/tessera

release:
	scripts/install-deps
	cmake --preset release
	cmake --build --preset release

bench: release
	build/release/bench/tessera-bench

clean:
	rm -rf build
