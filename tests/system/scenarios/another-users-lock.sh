# Another account (root) holds a block lock: logind asks for an administrator because of it, and
# the lock is what the user hears of.
expect_end="still up"
expect_lines=("would not be allowed: Turning off is held back by Backup \(Nightly backup\)"
              "power-off refused: .*InteractiveAuthorizationRequired.*\(Backup: Nightly backup\)")
forbid_lines=("administrator's password")
as_root() {
    systemd-run --unit=backup systemd-inhibit --what=shutdown --mode=block --who=Backup \
        --why="Nightly backup" sleep 600
}
as_user() {
    veltrane_run --in 0:00:05
    still_up_after 50
}
