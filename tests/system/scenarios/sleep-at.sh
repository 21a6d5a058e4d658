# --at names a time of the clock: the machine sleeps past it, and the warning opens on waking.
expect_end="powered off"
expect_lines=("VT: sleeping" "VL: veltrane: the clock moved: 00:00:00 left"
              "VL: veltrane: power-off requested")
forbid_lines=("power-off refused")
limit=400
asleep_for=130 # then the host wakes it
as_root() { :; }
as_user() {
    # The minute after next: 60 to 120 seconds away.
    local at
    at=$(date -d "+2 minutes" +%H:%M)
    veltrane_run --at "$at"
    sleep 5
    say "sleeping, --at $at"
    systemctl suspend
}
