# Sourced by the benchmark scripts, from the repository's top folder: configures the
# optimised benchmark build (build/bench) and builds the targets named.
build_bench() {
  cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_TESTS=OFF \
    -DVANTREL_BUILD_BENCHMARKS=ON >/dev/null
  cmake --build build/bench --target "$@" >/dev/null
}
