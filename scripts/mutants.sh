#!/usr/bin/env bash
# A small mutation check: applies each one-line fault below to a scratch copy
# of the tree, one at a time, rebuilds it incrementally (no sanitizers) and
# runs every test. A fault the tests do not notice "survived".
# Usage: scripts/mutants.sh [NUMBER...]   (default: every mutant)
#   MUTANTS_TESTS=REGEX runs (and builds) only the tests whose names match.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
scratch="$root/build/mutants/src"
preset="${MUTANTS_PRESET:-debug}"
jobs="$(nproc)"

# file @@ exact text on one line @@ what replaces it (empty: the call is dropped)
mutants=(
  "input/KeyNames.cpp@@for (char c = '0'; c <= '9'; ++c)@@for (char c = '0'; c < '9'; ++c)"
  "input/KeyNames.cpp@@if (row.trait == Extended) @@if (false) "
  "input/InputInjector.cpp@@(static_cast<int64_t>(pixel) + 1)@@(static_cast<int64_t>(pixel))"
  "input/InputInjector.cpp@@if (key.shifted) hitKeyWithModifier@@if (!key.shifted) hitKeyWithModifier"
  "input/InputInjector.cpp@@if (context_.interrupted()) return;@@"
  "input/HotkeyBinding.cpp@@if (word == ShiftWord) { modifiers |= ModShift; continue; }@@if (word == ShiftWord) { modifiers |= ModAlt; continue; }"
  "script/InputFunctions.cpp@@if (keyboard && code == KeypadEnterCode)@@if (!keyboard && code == KeypadEnterCode)"
  "script/StopGuards.cpp@@if (stopRequestedFor(state)) {@@if (false) {"
  "table/TableTranslation.cpp@@if (*delay < HitSplitThreshold)@@if (*delay <= HitSplitThreshold)"
  "table/TableTranslation.cpp@@if (row.input != ActionHit && delay@@if (row.input == ActionHit && delay"
  "table/RowValidity.cpp@@*value >= minimum;@@*value > minimum;"
  "table/TableFile.cpp@@if (line.endsWith('\\r')) line.chop(1);@@"
  "recording/RecordingTranslation.cpp@@if (edge == Edge::Press && !held_.contains(code))@@if (edge == Edge::Press && held_.contains(code))"
  "recording/Recorder.cpp@@if (record.movement && !monitorMovement_) continue;@@if (record.movement && monitorMovement_) continue;"
  "app/EventRouter.cpp@@if (id == RunHotkeyId && !target_.recording())@@if (id == RunHotkeyId)"
  "platform/x11/X11Platform.cpp@@keycode, !(key.flags & KeyUp), CurrentTime@@keycode, (key.flags & KeyUp), CurrentTime"
  "platform/x11/X11Platform.cpp@@XTestFakeButtonEvent(inject_, XButtonX1, flag == MouseXDown@@XTestFakeButtonEvent(inject_, XButtonX1, flag != MouseXDown"
  "platform/x11/KeyboardLayout.cpp@@shifted >= '0' && shifted <= '9'@@shifted >= '0' && shifted < '9'"
)

# The scratch copy keeps its own build, so only what changed since the last
# run is rebuilt.
mkdir -p "$scratch"
# Only files whose content changed are copied, with a new time: a file's own
# time may be older than an object the scratch build made from an earlier copy.
stage="$root/build/mutants/stage"
rm -rf "$stage" && mkdir -p "$stage"
tar -C "$root" --exclude=./build --exclude=./.git -cf - . | tar -C "$stage" -xf -
(cd "$stage" && find . -type f) | while read -r f; do
    cmp -s "$stage/$f" "$scratch/$f" || { mkdir -p "$(dirname "$scratch/$f")"; cp "$stage/$f" "$scratch/$f"; }
done
(cd "$scratch" && find . -path ./build -prune -o -type f -print) | while read -r f; do
    [ -e "$stage/$f" ] || rm -f "$scratch/$f"
done
cd "$scratch"
# A run cut short leaves its mutant's objects behind: the copied file is older.
marker="$root/build/mutants/mutated"
# Per tree, so that runs in several work trees at once keep apart.
original="$root/build/mutants/original"
build_log="$root/build/mutants/build.log"
if [ -f "$marker" ]; then touch "$(cat "$marker")"; rm -f "$marker"; fi
cmake --preset "$preset" -DQP_BUILD_BENCH=OFF >/dev/null
# The install check needs the whole build and looks at files, not behaviour.
tests=(-R "${MUTANTS_TESTS:-.}" -E '^test_install$')
targets=$(ctest --test-dir "build/$preset" -N "${tests[@]}" | awk '/Test +#/ {print $3}')
# Some tests run a target under another name (one program at several settings).
known=$(cmake --build --preset "$preset" --target help | awk '{print $2}')
targets=$(for t in $targets; do grep -qx "$t" <<<"$known" && echo "$t"; done)
build() { cmake --build --preset "$preset" -j"$jobs" --target $targets >"$build_log" 2>&1; }
failing() {  # runs the tests up to the first failure; prints the failing ones
    { ctest --test-dir "build/$preset" "${tests[@]}" -j"$jobs" --stop-on-failure 2>&1 || true; } | awk '/\((Failed|Timeout|Subprocess|SEGFAULT|Exception)/ && $2 == "-" {print $3}' | sort -u | tr '\n' ' '
}

build || { echo "mutants: the unmutated tree does not build (see $build_log)"; exit 2; }
base="$(failing)"
[ -z "$base" ] || { echo "mutants: tests fail without a mutant: $base"; exit 2; }

wanted=("$@")
caught=0; survived=0; total=0
for i in "${!mutants[@]}"; do
    n=$((i + 1))
    if [ ${#wanted[@]} -gt 0 ] && [[ ! " ${wanted[*]} " =~ " $n " ]]; then continue; fi
    file="${mutants[$i]%%@@*}"
    pattern="${mutants[$i]#*@@}"; pattern="${pattern%%@@*}"
    replacement="${mutants[$i]##*@@}"
    count="$(grep -cF -- "$pattern" "$file" || true)"
    if [ "$count" != 1 ]; then echo "mutant $n: '$pattern' is on $count lines of $file, not one"; exit 2; fi
    cp -p "$file" "$original"
    echo "$file" >"$marker"
    PAT="$pattern" REP="$replacement" perl -i -pe 's/\Q$ENV{PAT}\E/$ENV{REP}/' "$file"
    total=$((total + 1))
    if ! build; then
        result="not built (a compile error, not a test)"
    else
        failed="$(failing)"
        if [ -n "$failed" ]; then result="caught by $failed"; caught=$((caught + 1))
        else result="SURVIVED"; survived=$((survived + 1)); fi
    fi
    cp "$original" "$file" && touch "$file" && rm -f "$marker"
    printf 'mutant %2d %s: %s -> %s\n    %s\n' "$n" "$file" "$pattern" "${replacement:-(dropped)}" "$result"
done
build
echo "mutants: $caught of $total caught, $survived survived"
