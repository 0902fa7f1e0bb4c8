# Thin entry points: everything real lives in CMake and the scripts.
.PHONY: test run release bench clean

test:
	scripts/install-deps
	cmake --preset dev
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
