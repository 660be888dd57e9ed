# Sourced by the scripts: configures and builds the project in $build (only the targets
# FETCHORA_BUILD_TARGETS names, when it names any).
# shellcheck disable=SC2086
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DFETCHORA_DEPS_PREFIX="${FETCHORA_DEPS_DIR:-$build/deps}" ${FETCHORA_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" ${FETCHORA_BUILD_TARGETS:+--target $FETCHORA_BUILD_TARGETS}
