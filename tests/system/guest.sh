# Sourced inside the virtual machine by boot.sh: what the scenarios share. Every line meant for
# the host goes to the serial console.
export SYSTEMD_PAGER= PAGER=cat
say() { echo "VT: $*" > /dev/ttyS0; }

# An X server for the program, as a desktop would have.
start_x() {
    Xvfb :0 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    for _ in $(seq 100); do [ -e /tmp/.X11-unix/X0 ] && return 0; sleep 0.1; done
}

# The real program, no dry run; what it logs goes to the host, each line marked.
veltrane_run() {
    DISPLAY=:0 veltrane "$@" 2>&1 | sed -u 's/^/VL: /' > /dev/ttyS0 &
}

# Cancel pressed in the warning, with the keyboard, once it shows.
press_cancel() {
    local window=
    for _ in $(seq 100); do
        window=$(DISPLAY=:0 xdotool search --name 'Automated shutdown' 2>/dev/null | head -1)
        [ -n "$window" ] && break
        sleep 0.2
    done
    [ -n "$window" ] || { say "no warning to cancel"; return 1; }
    sleep 2
    DISPLAY=:0 xdotool windowfocus --sync "$window" key space
    say "Cancel pressed"
}

# Still up after the warning would have ended: the host ends the machine.
still_up_after() {
    sleep "$1"
    say "still up"
}
