# bob is logged in on tty2 as well: polkit's defaults let the active session power off anyway.
expect_end="powered off"
expect_lines=("VL: veltrane: power-off requested")
forbid_lines=("would not be allowed" "power-off refused")
as_root() { systemctl --no-block start getty@tty2.service; }
as_user() {
    for _ in $(seq 50); do loginctl list-sessions --no-legend | grep -q bob && break; sleep 0.2; done
    say "sessions: $(loginctl list-sessions --no-legend | awk '{print $3}' | tr '\n' ' ')"
    veltrane_run --in 0:00:05
}
