# Started as from cron or a service, in no session: polkit wants an administrator, and the user
# hears that the program was started outside the desktop session.
expect_end="still up"
expect_lines=("would not be allowed: Veltrane was started outside the desktop session"
              "power-off refused: .*InteractiveAuthorizationRequired")
forbid_lines=("power-off accepted")
as_root() {
    systemd-run --unit=outside --uid=alice -E DISPLAY=:0 /bin/sh -c \
        'while [ ! -e /tmp/.X11-unix/X0 ]; do sleep 0.2; done; veltrane --in 0:00:05 2>&1 | sed -u "s/^/VL: /" > /dev/ttyS0'
}
as_user() { still_up_after 55; }
