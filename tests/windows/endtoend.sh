#!/usr/bin/env bash
# veltrane.exe --dry-run under Wine, on the X server in DISPLAY, driven from outside with clicks
# at the pixel positions the windows were designed with: a start at 00:00:00 opens the warning
# about a second later, and the dry-run line comes once, about 30 seconds after that; a second
# run, cancelled, gives none; later starts hand --in and --cancel to the running one. In real
# seconds: the program has no hook to make them shorter.
set -euo pipefail
exe=$1
out=$(mktemp)
pid=
trap 'kill $pid 2>/dev/null || true; rm -f "$out"' EXIT

fail() {
    echo "FAIL: $*"
    exit 1
}
now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }'; }
within() { awk -v x="$1" -v low="$2" -v high="$3" 'BEGIN { exit !(x >= low && x <= high) }'; }
find_window() { # TITLE
    for _ in $(seq 100); do
        # A search can fail when a window goes away while it looks: look again.
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) || true
        [ -n "$id" ] && echo "$id" && return
        sleep 0.05
    done
    fail "no window '$1'"
}
run() {
    wine "$exe" --dry-run >"$out" 2>/dev/null &
    pid=$!
    main=$(find_window '^Veltrane$')
    xdotool mousemove --window "$main" 214 126 click 1 # the toggle's middle
    started=$(now)
    warning=$(find_window '^Automated shutdown in progress...$')
    opened=$(since "$started")
    within "$opened" 0.8 1.6 || fail "the warning opened after $opened s, not about 1 s"
    echo "PASS: the warning opened after $opened s"
}

# At a command prompt "veltrane" is veltrane.com, which waits for the program, passes on its
# words, and exits with its status; or returns as soon as the program has opened its window.
at_prompt() { # ARGUMENTS...: what it printed, then "status N"
    # Into a file: a program that goes on running keeps a pipe open.
    local status=0
    (cd "$(dirname "$exe")" && wine cmd /c veltrane "$@") >"$out" 2>&1 || status=$?
    tr -d "\r" <"$out"
    echo "status $status"
}
expect_prompt() { # WORDS STATUS ARGUMENTS...
    local words=$1 status=$2 said
    shift 2
    said=$(at_prompt "$@")
    grep -qF -- "$words" <<<"$said" && [ "$(tail -1 <<<"$said")" = "status $status" ] ||
        fail "veltrane $* at a prompt said: $said"
}
expect_prompt "Veltrane " 0 --version
expect_prompt "is veltrane.com" 0 /?
expect_prompt "Unknown option 'bogus'." 2 --bogus
expect_prompt "No Veltrane is running." 1 --dry-run --cancel
started=$(now)
expect_prompt "" 0 --dry-run
back=$(since "$started")
find_window '^Veltrane$' >/dev/null
within "$back" 0 5 || fail "the prompt came back after $back s"
pkill -f 'veltrane.exe --dry-run'
echo "PASS: at a prompt: --version, /?, a mistake, --cancel, and a start back in $back s"

run
opened=$(now)
for _ in $(seq 700); do
    [ -s "$out" ] && break
    sleep 0.05
done
asked=$(since "$opened")
within "$asked" 29 31.5 || fail "the request came $asked s after the warning, not about 30 s"
sleep 1.5
[ "$(tr -d "\r" <"$out")" = "dry run: power-off requested (flags 5)" ] || fail "asked: $(cat "$out")"
echo "PASS: the dry-run line came once, $asked s after the warning"
kill "$pid"
wait "$pid" 2>/dev/null || true

run
xdotool mousemove --window "$warning" 203 69 click 1 # Cancel
sleep 2
xdotool search --onlyvisible --name '^Automated shutdown in progress...$' >/dev/null &&
    fail "the warning is still open after Cancel"
[ ! -s "$out" ] || fail "asked after Cancel: $(cat "$out")"
echo "PASS: Cancel closes the warning and nothing is asked"
kill "$pid"
wait "$pid" 2>/dev/null || true

# One per session: later starts find the first through its mutex and hand it their request.
wine "$exe" --dry-run --cancel >/dev/null 2>&1 && fail "--cancel with none running succeeded"
wine "$exe" --dry-run >"$out" 2>/dev/null &
pid=$!
find_window '^Veltrane$' >/dev/null
# A real --in must be refused by the rehearsal. Were it to become a program of its own instead,
# it is ended within 5 s, long before its warning's 30 s could reach a power-off request.
wine "$exe" --in 0:00:01 2>/dev/null &
real=$!
for _ in $(seq 50); do
    kill -0 "$real" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$real" 2>/dev/null; then
    pkill -f 'veltrane.exe --in 0:00:01' || true
    kill "$real" 2>/dev/null || true
    fail "a real --in started a program of its own"
fi
wait "$real" && fail "a real --in was handed to a rehearsal"
wine "$exe" --dry-run --in 0:00:01 || fail "--in was not handed over"
warning=$(find_window '^Automated shutdown in progress...$')
echo "PASS: a second start hands --in over, and the warning opens"
wine "$exe" --dry-run --cancel || fail "--cancel was not handed over"
sleep 1
xdotool search --onlyvisible --name '^Automated shutdown in progress...$' >/dev/null &&
    fail "the warning is still open after --cancel"
[ ! -s "$out" ] || fail "asked after --cancel: $(cat "$out")"
[ "$(xdotool search --onlyvisible --name '^Veltrane$' | wc -l)" = 1 ] || fail "two main windows"
echo "PASS: --cancel from a third start cancels the warning, and nothing is asked"

# --status tells a script what the running one does; --snooze puts its end off as Cancel would
# end the warning, and counts down again.
status_is() { # PATTERN STATUS: what --status prints, and its exit status
    local said
    said=$(wine "$exe" --status 2>&1 | tr -d '\r'; echo "status ${PIPESTATUS[0]}")
    grep -qE -- "$1" <<<"$said" && [ "$(tail -1 <<<"$said")" = "status $2" ] ||
        fail "--status said: $said"
}
status_is '^not counting \(dry run\)$' 1
wine "$exe" --dry-run --in 0:00:01 || fail "--in was not handed over"
find_window '^Automated shutdown in progress...$' >/dev/null
status_is '^warning open: [0-9]+ seconds? left \(dry run\)$' 0
wine "$exe" --dry-run --snooze 5m || fail "--snooze was not handed over"
sleep 1
xdotool search --onlyvisible --name '^Automated shutdown in progress...$' >/dev/null &&
    fail "the warning is still open after --snooze"
status_is '^counting down: 00:0[45]:[0-9]{2} left, until [0-9]{1,2}:[0-9]{2}' 0
# The end as the user's locale writes a time: 24-hour, and 12-hour.
for clock in 'en_GB.UTF-8 [0-9]{2}:[0-9]{2}' 'en_US.UTF-8 [0-9]{1,2}:[0-9]{2} [AP]M'; do
    said=$(LC_ALL=${clock%% *} wine "$exe" --status 2>&1 | tr -d '\r')
    grep -qE "until ${clock#* } \(dry run\)$" <<<"$said" || fail "--status in ${clock%% *}: $said"
done
wine "$exe" --dry-run --cancel || fail "--cancel was not handed over"
wine "$exe" --dry-run --snooze >/dev/null 2>&1 && fail "--snooze with nothing counting succeeded"
[ ! -s "$out" ] || fail "asked after --snooze: $(cat "$out")"
echo "PASS: --status tells each state, --snooze puts the warning off, and nothing is asked"
