# The user's own program holds the block lock: logind passes over it, so nothing may be said.
expect_end="powered off"
expect_lines=("VL: veltrane: power-off requested")
forbid_lines=("would not be allowed" "power-off refused")
as_root() { :; }
as_user() {
    systemd-inhibit --what=shutdown --mode=block --who=Backup --why="Nightly backup" sleep 600 &
    sleep 1
    veltrane_run --in 0:00:05
}
