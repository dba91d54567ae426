# Velmora: make build | make test | make run
SHELL := /bin/bash
.PHONY: all setup build build-host build-mingw test test-host test-mingw run clean

all: build

setup:
	@scripts/setup.sh

build: build-host build-mingw

build-host: setup
	cmake --preset host >/dev/null
	cmake --build --preset host

build-mingw: setup
	cmake --preset mingw >/dev/null
	cmake --build --preset mingw

test: test-host test-mingw

test-host: build-host
	ctest --preset host

test-mingw: build-mingw
	scripts/wine-session.sh build/mingw ctest --preset mingw

# make run DEMO=modern: the Tomcat 10 / JDK 21 layout instead of the classic one.
run: build-mingw
	VELMORA_DEMO="$(DEMO)" scripts/run-demo.sh

clean:
	rm -rf build

.PHONY: bench
bench: build-mingw
	scripts/bench.sh

.PHONY: dist
dist: build-mingw
	scripts/dist.sh
