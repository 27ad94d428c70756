# Sourced by the benchmark scripts, from the repository's top folder: configures the
# optimised benchmark build (build/bench) and builds the targets named; or builds targets of
# an earlier commit, optimised, in a folder of its own that all the scripts share.
build_bench() {
  cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_TESTS=OFF \
    -DVANTREL_BUILD_BENCHMARKS=ON >/dev/null
  cmake --build build/bench --target "$@" >/dev/null
}

# build_earlier COMMIT TARGET...: the commit's tree is extracted into build/bench-before/src
# (again only when another commit is asked for) and built in build/bench-before/build, which
# is left in earlier_build. Fails when the commit is not in this clone.
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
