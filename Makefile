# Tarsel preset editor: build and test entry points.
#   make test   install what is missing, build with ASan+UBSan (every benchmark
#               too, built but not run), run every test (under a private Xvfb
#               for the tests that open windows), then run the threaded tests
#               again under ThreadSanitizer
#   make bench  Release build, run every benchmark (each prints its goal beside
#               its figure)
#   make fuzz   clang build of the fuzz targets, each run for FUZZ_SECONDS
#   make run    install what is missing, build the editor (Release) and start it
#   make screenshot  refresh docs/editor.png, the README's picture of the editor

DEB_PACKAGES := g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev \
                libbenchmark-dev librtmidi-dev libasound2-dev libexpat1-dev \
                libsdl2-dev libcairo2-dev libpixman-1-dev libpng-dev libfreetype-dev libfontconfig-dev \
                libgl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-dev \
                fonts-dejavu-core fonts-liberation2 xvfb xauth zenity xfonts-base \
                libx11-dev libxtst-dev openbox
# The edit-panel generator, run by a test that checks the committed resources.
DEB_PACKAGES += python3
FUZZ_PACKAGES := clang libclang-rt-14-dev
# The start-up bench's yardstick window (the test build compiles it too).
BENCH_PACKAGES := libgtk-3-dev
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: deps bench-deps test test-asan test-tsan bench fuzz run screenshot clean

deps:
	@./scripts/install-deps.sh $(DEB_PACKAGES)

bench-deps:
	@./scripts/install-deps.sh $(DEB_PACKAGES) $(BENCH_PACKAGES)

test: bench-deps test-asan test-tsan

test-asan:
	cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=address,undefined -DQV_BUILD_BENCH=ON
	cmake --build build/asan -j $(JOBS)
	cd build/asan && ../../scripts/with-xvfb.sh ctest --output-on-failure -j $(JOBS)

test-tsan:
	cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=thread
	cmake --build build/tsan -j $(JOBS) --target qv_threaded_tests
	cd build/tsan && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
	  ../../scripts/with-xvfb.sh ctest --output-on-failure -j $(JOBS) -L threaded

# Every benchmark runs, even after one fails; the failures are named at the end.
bench: bench-deps
	cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_TESTS=OFF -DQV_BUILD_BENCH=ON
	cmake --build build/release -j $(JOBS)
	@failed=""; for b in build/release/bin/bench_*; do echo "== $$b"; \
	  ./scripts/with-xvfb.sh $$b || failed="$$failed $$(basename $$b)"; done; \
	  if [ -n "$$failed" ]; then echo "failed:$$failed"; exit 1; fi

fuzz:
	@./scripts/install-deps.sh $(DEB_PACKAGES) $(FUZZ_PACKAGES)
	CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DQV_BUILD_TESTS=OFF -DQV_BUILD_FUZZ=ON -DQV_SANITIZE=address,undefined
	cmake --build build/fuzz -j $(JOBS)
	@for f in build/fuzz/bin/fuzz_*; do n=$$(basename $$f); echo "== $$f"; mkdir -p build/fuzz/corpus/$$n; \
	  $$f -max_total_time=$(FUZZ_SECONDS) build/fuzz/corpus/$$n $$(test -d fuzz/corpus/$$n && echo fuzz/corpus/$$n) \
	  || exit 1; done

run: deps
	cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_TESTS=OFF
	cmake --build build/release -j $(JOBS) --target tarsel-editor
	./build/release/bin/tarsel-editor

screenshot: bench-deps
	cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=address,undefined
	cmake --build build/asan -j $(JOBS) --target EditorEndToEndTest
	mkdir -p docs
	cd build/asan && EDITOR_SCREENSHOT=$(CURDIR)/docs/editor.png \
	  ../../scripts/with-xvfb.sh ./bin/EditorEndToEndTest --gtest_filter='*WindowPicture*'

clean:
	rm -rf build
