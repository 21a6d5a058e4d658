# bob is logged in on tty2, and a polkit rule asks an administrator before a machine with other
# users on it is turned off: the program says so, and the refusal too.
expect_end="still up"
expect_lines=("would not be allowed: This computer will not let Veltrane turn it off without an administrator"
              "power-off refused: .*InteractiveAuthorizationRequired")
forbid_lines=("power-off accepted")
as_root() {
    cat > /etc/polkit-1/rules.d/10-others.rules <<'RULES'
polkit.addRule(function(action, subject) {
    if (action.id == "org.freedesktop.login1.power-off-multiple-sessions")
        return polkit.Result.AUTH_ADMIN;
});
RULES
    systemctl --no-block start getty@tty2.service
}
as_user() {
    for _ in $(seq 50); do loginctl list-sessions --no-legend | grep -q bob && break; sleep 0.2; done
    veltrane_run --in 0:00:05
    still_up_after 55
}
