# QvsStudio: the two set-up commands are `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CTEST_ARGS ?=

.PHONY: deps configure build test run clean

deps:
	@./scripts/install-deps.sh

configure: deps
	@test -f $(BUILD_DIR)/build.ninja || cmake --preset default -B $(BUILD_DIR)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

run: build
	@if [ ! -x $(BUILD_DIR)/bin/QvsStudio ]; then \
	    echo "QvsStudio is not built yet: the main window does not exist in this tree"; exit 1; fi
	$(BUILD_DIR)/bin/QvsStudio --simulate

clean:
	rm -rf $(BUILD_DIR)
