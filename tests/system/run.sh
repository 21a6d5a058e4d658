#!/usr/bin/env bash
# The system tests: each scenario boots the Debian 12 image of image.sh in qemu, a throw-away
# copy of it, with the real systemd-logind and polkit, installs the .deb and runs the real
# program (no dry run) in alice's session on tty1. The machine's own power-off (qemu ending by
# itself) is the evidence that it went down; "still up" from the guest, that it did not.
#   tests/system/run.sh DEB [SCENARIO ...]
# Prints one line a scenario and "system: N passed, M failed"; exits 1 when any failed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
deb=$(realpath "$1")
shift
image=$("$here/image.sh" "$deb")
work=$(mktemp -d /var/tmp/veltrane-system.XXXXXX)
[ -n "${VELTRANE_SYSTEM_KEEP:-}" ] || trap 'rm -rf "$work"' EXIT
scenarios=("$@")
[ ${#scenarios[@]} -gt 0 ] || mapfile -t scenarios < <(cd "$here/scenarios" && ls *.sh | sed 's/\.sh$//')

# Software emulation: this kind of machine opens /dev/kvm, but qemu's KVM runs no guest on it.
accel=(-accel tcg -cpu max)
if [ "${VELTRANE_VM_KVM:-0}" = 1 ]; then accel=(-accel kvm -cpu host); fi

# One command to qemu's monitor; its answer on standard output.
monitor() {
    python3 - "$folder/monitor" "$1" 2>/dev/null <<'PY'
import socket, sys, time
s = socket.socket(socket.AF_UNIX)
s.connect(sys.argv[1])
s.settimeout(1)
s.sendall(sys.argv[2].encode() + b"\n")
# Until the prompt after the answer: on a busy host the answer can take seconds.
said, end = "", time.time() + 10
while said.count("(qemu)") < 2 and time.time() < end:
    try:
        said += s.recv(65536).decode(errors="replace")
    except socket.timeout:
        pass
print(said)
PY
}

passed=0 failed=0
for name in "${scenarios[@]}"; do
    folder="$work/$name"
    mkdir -p "$folder/payload"
    cp "$here/guest.sh" "$here/boot.sh" "$folder/payload/"
    cp "$here/scenarios/$name.sh" "$folder/payload/scenario.sh"
    cp "$deb" "$folder/payload/veltrane.deb"
    printf '#!/bin/sh\nexec /payload/boot.sh root\n' > "$folder/payload/root.sh"
    printf '#!/bin/sh\nexec /payload/boot.sh user\n' > "$folder/payload/user.sh"
    chmod +x "$folder/payload/"*.sh
    tar -C "$folder/payload" -cf "$folder/payload.tar" .
    source "$here/scenarios/$name.sh" # for its expect_* variables
    log="$folder/serial.log"
    started=$SECONDS
    qemu-system-x86_64 "${accel[@]}" -m 1024 -smp 2 -nographic -no-reboot -snapshot \
        -kernel "$image/vmlinuz" -initrd "$image/initrd.img" \
        -append "root=/dev/vda rw console=ttyS0 quiet" \
        -drive "file=$image/rootfs.img,format=raw,if=virtio" \
        -drive "file=$folder/payload.tar,format=raw,if=virtio,readonly=on" \
        -monitor "unix:$folder/monitor,server,nowait" -serial "file:$log" \
        </dev/null >/dev/null 2>&1 &
    qemu=$!
    outcome="no end within ${limit:=300} s"
    poweredOff=""
    asleepSince="" woken=0
    while [ $((SECONDS - started)) -lt "$limit" ]; do
        if ! kill -0 "$qemu" 2>/dev/null; then
            outcome="powered off"
            poweredOff=$((SECONDS - started))
            break
        fi
        if grep -aq "VT: still up" "$log" 2>/dev/null; then
            outcome="still up"
            break
        fi
        # A machine gone to sleep is woken by the host once it has slept the scenario's while.
        if [ -z "${asleep_for:-}" ]; then
            :
        elif ! monitor "info status" | grep -q suspended; then
            asleepSince=""
        elif [ -z "$asleepSince" ]; then
            asleepSince=$SECONDS
        elif [ $((SECONDS - asleepSince)) -ge "$asleep_for" ]; then
            monitor system_wakeup >/dev/null
            woken=$((woken + 1))
            asleepSince=""
        fi
        sleep 1
    done
    kill "$qemu" 2>/dev/null || true
    wait "$qemu" 2>/dev/null || true
    problems=()
    [ "$outcome" = "$expect_end" ] || problems+=("expected $expect_end")
    for line in "${expect_lines[@]}"; do
        grep -aqE "$line" "$log" || problems+=("no line matching \"$line\"")
    done
    for line in "${forbid_lines[@]}"; do
        ! grep -aqE "$line" "$log" || problems+=("a line matching \"$line\"")
    done
    said=$(grep -a "VL: veltrane: power-off would not be allowed\|VL: veltrane: power-off refused" "$log" |
           head -1 | sed "s/^.*VL: //; s/\r//" | cut -c1-140 || true)
    timing=${poweredOff:+, ${poweredOff} s from boot to power-off}
    [ -n "$poweredOff" ] || timing=", after $((SECONDS - started)) s"
    [ "$woken" -eq 0 ] || timing+=", woken by the host $woken time(s)"
    if [ ${#problems[@]} -eq 0 ]; then
        passed=$((passed + 1))
        echo "system: PASS $name: $outcome$timing${said:+; said: $said}"
    else
        failed=$((failed + 1))
        echo "system: FAIL $name: $outcome$timing; $(IFS=';'; echo "${problems[*]}")"
        sed 's/\r//' "$log" | grep -a "VT:\|VL:" | sed 's/^/    /' | tail -30
    fi
    unset limit asleep_for
done
echo "system: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
