# logind suspends an idle machine after 20 s: not while counting, and again after Cancel.
expect_end="still up"
expect_lines=("VT: Cancel pressed" "VT: idle suspended after Cancel")
forbid_lines=("power-off requested" "VT: suspended while counting")
limit=300
as_root() {
    mkdir -p /etc/systemd/logind.conf.d
    printf '[Login]\nIdleAction=suspend\nIdleActionSec=20s\n' > /etc/systemd/logind.conf.d/idle.conf
    systemctl restart systemd-logind
}
slept() { journalctl -b -o cat | grep -c "suspend entry\|Entering sleep state" || true; }
as_user() {
    veltrane_run --in 0:00:40
    sleep 35
    [ "$(slept)" = 0 ] || say "suspended while counting"
    press_cancel
    # Frozen while it sleeps: the host wakes it, and then the journal tells.
    say "wake me in 45"
    sleep 20
    for _ in $(seq 60); do
        [ "$(slept)" != 0 ] && { say "idle suspended after Cancel"; break; }
        sleep 1
    done
    still_up_after 0
}
