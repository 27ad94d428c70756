# Sourced by the benchmark scripts, from the repository's top folder: configures the
# optimised benchmark build (build/bench) and builds the targets named; or builds targets of
# an earlier commit, optimised, in a folder of its own that all the scripts share.
build_bench() {
  cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_TESTS=OFF \
    -DVANTREL_BUILD_BENCHMARKS=ON >/dev/null
  cmake --build build/bench --target "$@" >/dev/null
}

# require_earlier COMMIT: the commit's full name in earlier_commit. A clone without it (a
# shallow or exported one) has nothing to compare with: the script says so and exits with 77,
# which the tests that run the benchmark scripts count as skipped.
require_earlier() {
  if ! earlier_commit=$(git rev-parse --verify -q "$1^{commit}" 2>/dev/null); then
    echo "bench/$(basename "$0"): commit $1 is not in this clone (a shallow or exported one?)," \
      "so there is nothing to compare with; skipped" >&2
    exit 77
  fi
}

# build_earlier COMMIT TARGET...: the commit's tree is extracted into build/bench-before/src
# (again only when another commit is asked for) and built in build/bench-before/build, which
# is left in earlier_build. The scripts call require_earlier first.
build_earlier() {
  local commit before=build/bench-before
  commit=$(git rev-parse --verify "$1^{commit}")
  shift
  if [[ "$(cat "$before/commit" 2>/dev/null)" != "$commit" ]]; then
    rm -rf "$before"
    mkdir -p "$before/src"
    git archive "$commit" | tar -x -C "$before/src"
    echo "$commit" >"$before/commit"
  fi
  earlier_build="$before/build"
  cmake -S "$before/src" -B "$earlier_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DVANTREL_BUILD_TESTS=OFF >/dev/null
  cmake --build "$earlier_build" --target "$@" >/dev/null
}
