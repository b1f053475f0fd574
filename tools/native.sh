#!/usr/bin/env bash
# The parsers of untrusted input, built natively (tools of the build machine, no Wine).
#   tools/native.sh test BUILD            unit tests (a CTest entry of the main build runs this)
#   tools/native.sh fuzz BUILD SECONDS    every libFuzzer target for SECONDS each, from its corpus
#   tools/native.sh replay BUILD          every libFuzzer target once over its committed corpus (a CTest
#                                         entry: an input that once crashed a parser stays harmless)
# A fuzzer that finds a crash fails the run; the input is copied into its corpus (fuzz/corpus/NAME)
# so that it is kept once committed, and every later run starts from it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:?usage: native.sh test|fuzz|replay BUILD [SECONDS]}
build=$(mkdir -p "${2:?build dir}" && cd "$2" && pwd)

if [ "$mode" = test ]; then
  dir="$build/native"
  [ -f "$dir/build.ninja" ] || env -u CC -u CXX cmake -S "$root/native" -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=g++ >/dev/null
  cmake --build "$dir" >/dev/null
  exec "$dir/parsers_test"
fi

seconds=${3:-60}
dir="$build/fuzz"
[ -f "$dir/build.ninja" ] || cmake -S "$root/native" -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON >/dev/null
cmake --build "$dir" >/dev/null
failed=0
if [ "$mode" = replay ]; then
  mkdir -p "$dir/artifacts"
  for target in "$dir"/fuzz_*; do
    name=${target##*/fuzz_}
    if "$target" -runs=0 -timeout=10 -rss_limit_mb=1024 -artifact_prefix="$dir/artifacts/replay-$name-" \
         "$root/fuzz/corpus/$name" >"$dir/$name-replay.log" 2>&1; then
      echo "replay $name: $(ls "$root/fuzz/corpus/$name" | wc -l) inputs, no fault"
    else
      failed=1
      echo "replay $name: FAULT (log: $dir/$name-replay.log)"
      tail -n 30 "$dir/$name-replay.log"
    fi
  done
  exit $failed
fi
for target in "$dir"/fuzz_*; do
  name=${target##*/fuzz_}
  corpus="$root/fuzz/corpus/$name"
  work="$dir/work/$name"
  artifacts="$dir/artifacts/$name"
  rm -rf "$artifacts"
  mkdir -p "$corpus" "$work" "$artifacts"
  # New inputs go to the work folder; the committed corpus is only read.
  if "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -artifact_prefix="$artifacts/" \
       "$work" "$corpus" >"$dir/$name.log" 2>&1; then
    echo "fuzz $name: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$dir/$name.log" | tail -n1), no finding"
  else
    failed=1
    echo "fuzz $name: FOUND A FAULT (log: $dir/$name.log)"
    tail -n 30 "$dir/$name.log"
    for found in "$artifacts"/*; do [ -f "$found" ] && cp "$found" "$corpus/" && echo "  kept as fuzz/corpus/$name/${found##*/}"; done
  fi
done
exit $failed
