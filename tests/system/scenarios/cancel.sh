# Cancel pressed in the warning; then a countdown handed over from outside the session, and
# cancelled from outside it with --cancel: nothing is requested.
expect_end="still up"
expect_lines=("VT: Cancel pressed" "counting down from 00:00:03, as another start asked"
              "stopped, as another start asked")
forbid_lines=("power-off requested")
as_root() { :; }
as_user() {
    veltrane_run --in 0:00:03
    press_cancel
    sleep 2
    # As from cron: outside the session (a service of alice's user manager), the display named.
    systemd-run --user --wait -q -E DISPLAY=:0 veltrane --in 0:00:03
    sleep 6
    systemd-run --user --wait -q -E DISPLAY=:0 veltrane --cancel
    still_up_after 40
}
