# logind suspends an idle machine after 20 s: not while counting, and again after Cancel.
expect_end="still up"
expect_lines=("VT: Cancel pressed" "VT: idle suspended after Cancel")
forbid_lines=("power-off requested" "VT: suspended while counting")
limit=300
asleep_for=10 # then the host wakes it
as_root() {
    mkdir -p /etc/systemd/logind.conf.d
    printf '[Login]\nIdleAction=suspend\nIdleActionSec=20s\n' > /etc/systemd/logind.conf.d/idle.conf
    systemctl restart systemd-logind
    # Each sleep told, as it begins: the user's journal would not show the system's.
    printf '#!/bin/sh\n[ "$1" = pre ] || exit 0\ntouch /run/slept\necho "VT: going to sleep" > /dev/ttyS0\n' \
        > /usr/lib/systemd/system-sleep/told
    chmod +x /usr/lib/systemd/system-sleep/told
}
slept() { [ -e /run/slept ]; }
as_user() {
    veltrane_run --in 0:01:10
    sleep 65
    ! slept || say "suspended while counting"
    press_cancel
    for _ in $(seq 120); do
        slept && { say "idle suspended after Cancel"; break; }
        sleep 1
    done
    still_up_after 0
}
