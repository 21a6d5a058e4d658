#!/usr/bin/env bash
# The Windows program's figures under Wine, on the X server in DISPLAY:
#   measure.sh BUILD_DIR JSON_OUT
# its size and the DLLs it needs, start-up to its main window shown against an empty Win32
# window (15 runs each, taken in turn, medians and the middle half), how punctually its warning
# opens, its countdown's CPU against a ticking label's, and what it holds over a day of ticks.
set -euo pipefail
build=$1
json=$2
exe=$build/veltrane.exe

size=$(stat -c %s "$exe")
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/.*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u |
           tr '\n' ' ')

# Wine's server stays up between runs (as scripts/bench starts it), so that each start is the
# program's own, not Wine's.
wineserver -p >/dev/null 2>&1 || true
now() { date +%s%N; }
shown_after() { # PROGRAM TITLE [ARGUMENT]: milliseconds from its start to its window shown
    local t0 t1 pid
    t0=$(now)
    wine "$1" ${3:-} >/dev/null 2>&1 &
    pid=$!
    until xdotool search --onlyvisible --name "$2" >/dev/null 2>&1; do
        # Wine can hang in a process's start: fail rather than wait for ever.
        if [ $(($(now) - t0)) -gt 20000000000 ]; then
            echo "measure.sh: $1 showed no window in 20 s" >&2
            kill "$pid" 2>/dev/null || true
            return 1
        fi
        sleep 0.005
    done
    t1=$(now)
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    echo $(((t1 - t0) / 1000000))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# The middle half of the runs: "first quartile to third".
spread() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 3) / 4)] " to " v[int((3 * NR + 3) / 4)] }'; }

# --dry-run: a start may find another Veltrane of this Wine prefix running (a test's), and hand
# it nothing real.
shown_after "$exe" '^Veltrane$' --dry-run >/dev/null # warm-up: the file cache, Wine's own start
program=()
bare=()
text=()
for _ in $(seq 15); do
    program+=("$(shown_after "$exe" '^Veltrane$' --dry-run)")
    bare+=("$(shown_after "$build/bench/windows/bench_bare_window.exe" '^Bare window$')")
    text+=("$(shown_after "$build/bench/windows/bench_bare_window.exe" '^Bare window$' --text)")
done
startup=$(printf '%s\n' "${program[@]}" | median)
baseline=$(printf '%s\n' "${bare[@]}" | median)
withText=$(printf '%s\n' "${text[@]}" | median)
startupSpread=$(printf '%s\n' "${program[@]}" | spread)
baselineSpread=$(printf '%s\n' "${bare[@]}" | spread)
ratio=$(awk -v a="$startup" -v b="$baseline" 'BEGIN { printf "%.2f", a / b }')
textRatio=$(awk -v a="$startup" -v b="$withText" 'BEGIN { printf "%.2f", a / b }')

# Shown once done, not through tee /dev/stderr, which would truncate a log file on stderr.
countdown=$(wine "$build/bench/windows/bench_countdown.exe" 5 | tr -d '\r')
echo "$countdown" >&2
drift=$(sed -n 's/^warning_drift_ms median \([-0-9.]*\) max \([-0-9.]*\)/\1 \2/p' <<<"$countdown")
read -r driftMedian driftMax <<<"$drift"
read -r tickP99 tickP99Base <<<"$(sed -n 's/^tick_p99_ms \([0-9.]*\) baseline \([0-9.]*\)/\1 \2/p' <<<"$countdown")"
read -r cpu cpuBase cpuRatio cpuLow cpuHigh <<<"$(sed -n 's/^cpu_ms_per_min \([0-9.]*\) baseline \([0-9.]*\) ratio \([0-9.]*\) from \([0-9.]*\) to \([0-9.]*\)/\1 \2 \3 \4 \5/p' <<<"$countdown")"
# A ticking label late by most of a second missed a tick: no floor to measure against.
if awk -v b="$tickP99Base" 'BEGIN { exit !(b < 500) }'; then
    tickRatio=$(awk -v a="$tickP99" -v b="$tickP99Base" 'BEGIN { printf "%.2f", a / b }')
    tickSaid="ratio $tickRatio, goal <= 1.0"
else
    tickRatio=null
    tickSaid="not measured: the label missed a tick"
fi

day=$(wine "$build/bench/windows/bench_dayofticks.exe" | tr -d '\r')
echo "$day" >&2
held() { sed -n "s/^$1 start \([0-9.]*\) counted \([0-9.]*\) warned \([0-9.]*\)/\1 \2 \3/p" <<<"$day"; }
read -r rssStart rssCounted rssWarned <<<"$(held resident_mib)"
read -r gdiStart gdiCounted gdiWarned <<<"$(held gdi_objects)"
read -r winStart winCounted winWarned <<<"$(held windows)"
read -r handleStart handleCounted handleWarned <<<"$(held kernel_handles)"

printf '\n%-44s %s\n' "Windows program, under Wine" "measured"
printf '%-44s %s\n' "veltrane.exe size (goal <= 1 MiB)" "$size bytes"
printf '%-44s %s\n' "DLLs it needs" "$dlls"
printf '%-44s %s\n' "start-up to the main window shown" "$startup ms (middle half $startupSpread)"
printf '%-44s %s\n' "an empty Win32 window" "$baseline ms (middle half $baselineSpread; ratio $ratio, goal <= 1.2)"
printf '%-44s %s\n' "the same with one line of text" "$withText ms (ratio $textRatio)"
printf '%-44s %s\n' "warning after start + T + 1 s (goal 5 ms)" "median $driftMedian ms, max $driftMax ms"
printf '%-44s %s\n' "CPU a minute of countdown (median of turns)" "$cpu ms; a ticking label $cpuBase ms (ratio $cpuRatio, turns $cpuLow to $cpuHigh, goal <= 1.0)"
printf '%-44s %s\n' "tick lateness p99" "$tickP99 ms; a ticking label $tickP99Base ms ($tickSaid)"
printf '%-44s %s\n' "a day of ticks: resident (goal growth <= 0.1)" "$rssStart to $rssCounted MiB; $rssWarned with the warning"
printf '%-44s %s\n' "  GDI objects, windows, handles" "$gdiStart/$winStart/$handleStart to $gdiCounted/$winCounted/$handleCounted; $gdiWarned/$winWarned/$handleWarned with the warning"
cat >"$json" <<JSON
{
  "windows_exe_bytes": $size,
  "windows_dlls": "$(echo $dlls)",
  "windows_startup_ms": $startup,
  "windows_startup_bare_ms": $baseline,
  "windows_startup_ratio": $ratio,
  "windows_startup_text_ms": $withText,
  "windows_startup_text_ratio": $textRatio,
  "windows_warning_drift_ms": $driftMedian,
  "windows_warning_drift_max_ms": $driftMax,
  "windows_cpu_ms_per_min": $cpu,
  "windows_baseline_cpu_ms_per_min": $cpuBase,
  "windows_cpu_ratio": $cpuRatio,
  "windows_cpu_ratio_low": $cpuLow,
  "windows_cpu_ratio_high": $cpuHigh,
  "windows_tick_p99_ms": $tickP99,
  "windows_baseline_tick_p99_ms": $tickP99Base,
  "windows_tick_p99_ratio": $tickRatio,
  "windows_day_resident_mib": [$rssStart, $rssCounted, $rssWarned],
  "windows_day_gdi_objects": [$gdiStart, $gdiCounted, $gdiWarned],
  "windows_day_windows": [$winStart, $winCounted, $winWarned],
  "windows_day_kernel_handles": [$handleStart, $handleCounted, $handleWarned]
}
JSON
