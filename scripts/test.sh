#!/usr/bin/env bash
# Installs what is missing, builds and runs every test:
#   1. the whole suite (release build with debug info), and the window screenshots, the keys
#      typed and the comment editor sized on a real X server under Xvfb (with openbox),
#   2. the whole suite again under AddressSanitizer + UndefinedBehaviorSanitizer, in German,
#   3. the threaded tests under ThreadSanitizer, in Turkish,
#   4. every libFuzzer target for a short, bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
fuzz_seconds=${TW_FUZZ_SECONDS:-15}
# Every test's time limit (TIMEOUT in cmake/TarnwickTargets.cmake), also given to each
# ctest run for a test that lacks the property.
test_timeout=$(sed -nE 's/^set\(TW_TEST_TIMEOUT ([0-9]+)\)$/\1/p' cmake/TarnwickTargets.cmake)
[ -n "$test_timeout" ] || { echo "no TW_TEST_TIMEOUT in cmake/TarnwickTargets.cmake"; exit 1; }
status=0
passed=0 failed=0 skipped=0

run_suite() { # <build dir> <ctest args...>
  local dir=$1; shift
  local log="$dir/ctest-summary.log"
  # Each GoogleTest program writes its results here; a GTEST_SKIP still exits 0, so
  # ctest counts that program as passed and only these files show the skip.
  local results
  results="$(cd "$dir" && pwd)/gtest-results" # absolute: each test runs in its own folder
  rm -rf "$results"; mkdir -p "$results"
  GTEST_OUTPUT="xml:$results/" ctest --test-dir "$dir" --output-on-failure --timeout "$test_timeout" -j "$jobs" "$@" 2>&1 | tee "$log" || true
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    echo "ctest in $dir gave no summary"; status=1; return
  fi
  local f t
  f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
  t=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
  # Programs that passed but skipped tests inside, and tests ctest itself skipped
  # (it counts those as passed too).
  local name names="" s_gtest=0 s_ctest s
  for xml in "$results"/*.xml; do
    [ -e "$xml" ] && grep -q 'result="skipped"' "$xml" || continue
    name=$(basename "$xml" .xml)
    if grep -qE "Test +#[0-9]+: +$name \.+ +Passed" "$log"; then
      names+=" $name"; s_gtest=$((s_gtest + 1))
    fi
  done
  [ -z "$names" ] || echo "skipped tests in:$names"
  s_ctest=$(sed -n '/^The following tests did not run:/,/^$/p' "$log" | grep -c '(Skipped)' || true)
  s=$((s_gtest + s_ctest))
  passed=$((passed + t - f - s)); failed=$((failed + f)); skipped=$((skipped + s))
  [ "$f" -eq 0 ] || status=1
}

echo "== Build and test"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTW_BENCH=ON -DTW_WERROR=ON >/dev/null
cmake --build build/test -j "$jobs"
run_suite build/test -LE x11 # those need an X server: their own stage below

echo "== Window screenshots under a real X server (Xvfb)"
xvfb-run -a ctest --test-dir build/test -L screenshots --output-on-failure --timeout "$test_timeout" 2>&1 | tee build/test/ctest-x11.log || true
if grep -q ' 0 tests failed out of' build/test/ctest-x11.log; then passed=$((passed + 1)); else failed=$((failed + 1)); status=1; fi

# Runs a command on an X server of its own (Xvfb) with a window manager (openbox), as on a
# desktop: the window manager answers a window's size with one of its own, frames and
# maximises windows, and closes them from Alt+F4.
on_x_desktop() { # <command...>
  # Now and then openbox ends at once, unable to open the display xvfb-run has just started:
  # it is started again until it names itself on the root window.
  xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    wm=
    for _ in $(seq 200); do
      if [ -z "$wm" ] || ! kill -0 "$wm" 2>/dev/null; then
        openbox --sm-disable >/dev/null 2>&1 &
        wm=$!
      fi
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
      sleep 0.1
    done
    status=0
    "$@" || status=$?
    kill "$wm"
    exit "$status"' on_x_desktop "$@"
}

echo "== Keys typed and the comment editor sized on a real X server (Xvfb, openbox, xdotool)"
keys_results="$(pwd)/build/test/gtest-results-keys-x11"
rm -rf "$keys_results"; mkdir -p "$keys_results"
GTEST_OUTPUT="xml:$keys_results/" on_x_desktop ctest --test-dir build/test -L x11 --output-on-failure --timeout "$test_timeout" 2>&1 |
  tee build/test/ctest-keys-x11.log || true
if ! grep -q ' 0 tests failed out of' build/test/ctest-keys-x11.log; then
  failed=$((failed + 1)); status=1
elif grep -qs 'result="skipped"' "$keys_results"/*.xml; then
  echo "skipped tests in the X server stage"; skipped=$((skipped + 1))
else
  passed=$((passed + 1))
fi

# Runs a stage's tests in another language, so that a test comparing with the system's
# English words fails here as it would on a user's machine. LANGUAGE would override it.
# Each test program checks that it runs in TW_EXPECT_LOCALE with the system's words in that
# language (tests/support/stage_locale_test.cpp), so a stage left in C fails.
in_locale() { # <locale> <command...>
  local name=$1; shift
  if [ "$(LC_ALL=$name locale charmap 2>/dev/null)" != UTF-8 ]; then
    echo "the locale $name is missing (scripts/setup.sh makes it): this stage's tests fail"
  fi
  LANG=$name LC_ALL=$name LANGUAGE='' TW_EXPECT_LOCALE=$name "$@"
}

echo "== AddressSanitizer + UndefinedBehaviorSanitizer (in German)"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTW_SANITIZE=address -DTW_BENCH=OFF -DTW_WERROR=ON >/dev/null
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 in_locale de_DE.UTF-8 \
  run_suite build/asan -LE 'slow|x11'

echo "== ThreadSanitizer (threaded tests, in Turkish)"
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTW_SANITIZE=thread -DTW_BENCH=OFF -DTW_WERROR=ON >/dev/null
# Only the threaded test programs are built here (each test is named after its program).
threaded=$(ctest --test-dir build/tsan -N -L threads 2>/dev/null | sed -nE 's/^ *Test +#[0-9]+: +([^ ]+).*/\1/p')
if [ -n "$threaded" ]; then
  # shellcheck disable=SC2086
  cmake --build build/tsan -j "$jobs" --target $threaded
  # Qt is not built with the sanitizer: the suppressions ignore only what its own
  # library's calls touch (tsan_planted_race shows that our races are still reported). The
  # path is quoted: the runtime cuts its options at spaces, colons and commas.
  TSAN_OPTIONS="halt_on_error=1:suppressions=\"$(pwd)/tests/support/tsan_qt.supp\"" in_locale tr_TR.UTF-8 \
    run_suite build/tsan -L threads
else
  echo "no threaded tests"
fi

echo "== Fuzzing (${fuzz_seconds}s per target)"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTW_FUZZ=ON \
  -DTW_APP=OFF -DTW_BENCH=OFF >/dev/null
# shellcheck disable=SC2046
cmake --build build/fuzz -j "$jobs" --target $(cat build/fuzz/fuzzers.txt)
fuzz_total=0 fuzz_failed=0
while read -r target; do
  [ -n "$target" ] || continue
  fuzz_total=$((fuzz_total + 1))
  bin=$(find build/fuzz -type f -name "$target" -perm -u+x | head -n 1)
  corpus="build/fuzz/corpus/$target"
  mkdir -p "$corpus"
  if "$bin" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
       "$corpus" >"build/fuzz/$target.log" 2>&1; then
    echo "fuzz $target: ok"
  else
    echo "fuzz $target: FAILED"; tail -n 40 "build/fuzz/$target.log"
    fuzz_failed=$((fuzz_failed + 1)); status=1
  fi
done < build/fuzz/fuzzers.txt
passed=$((passed + fuzz_total - fuzz_failed)); failed=$((failed + fuzz_failed))

echo "== Summary (test programs and fuzz targets of every stage)"
echo "total: $passed passed, $failed failed, $skipped skipped"
# CI installs everything, so a skip there means something is missing.
if [ "${CI:-}" = true ] && [ "$skipped" -gt 0 ]; then
  echo "a test was skipped under CI=true"; status=1
fi
exit $status
