# The README's commands. Each first installs what is missing (tools/setup.sh).
.PHONY: setup build run test screenshot fuzz clean

setup:
	@bash tools/setup.sh

build: setup
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j2

run: build
	@bash tools/run.sh

test: setup
	@bash tools/test.sh

screenshot: build
	@bash tools/screenshot.sh build/screenshot.png

# Longer fuzzing on demand: make fuzz SECONDS=600
fuzz: setup
	@bash tools/fuzz.sh $(or $(SECONDS),300)

clean:
	-@bash tools/stop-wine
	rm -rf build
