# Shared by scripts/run, scripts/test, scripts/bench and scripts/screenshot. Source it; do not
# run it.

VELTRANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# What building and running need on Debian 12.
VELTRANE_BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-svg-dev qt6-qpa-plugins
                         fonts-dejavu-core)
# The Windows program: the MinGW-w64 cross-compiler, and Wine to run it.
VELTRANE_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64 wine wine64)
# What the test suite needs besides: a private D-Bus, an X server with a real window manager and
# the tools to drive and read it, and a Wayland compositor with its X server, a terminal to put
# full screen, a virtual keyboard, and Qt's Wayland plugin; KWin, headless; a screen reader; a
# notification service; xrandr, to show the Windows program two monitors.
VELTRANE_TEST_PACKAGES=("${VELTRANE_WINDOWS_PACKAGES[@]}" dbus-daemon xvfb openbox x11-utils
                        xdotool wmctrl sway xwayland foot wtype qt6-wayland
                        orca speech-dispatcher speech-dispatcher-espeak-ng at-spi2-core dunst
                        kwin-wayland x11-xserver-utils zsh)
# The benchmark watches the programs through an X server's DAMAGE and XTEST extensions.
VELTRANE_BENCH_PACKAGES=(pkgconf libxcb-damage0-dev libxcb-xtest0-dev dbus-daemon xvfb xdotool)
# The system tests: a Debian 12 image made from the apt sources, booted in qemu.
VELTRANE_SYSTEM_PACKAGES=(mmdebstrap qemu-system-x86 e2fsprogs python3)
# Making the Debian package and checking it as a distribution would.
VELTRANE_PACKAGE_PACKAGES=(dpkg-dev file lintian appstream desktop-file-utils man-db)

# Installs the Debian packages that are missing; without root, says how and stops.
ensure_packages() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local command="apt-get install -y --no-install-recommends ${missing[*]}"
    if [ "$(id -u)" != 0 ]; then
        echo "Veltrane needs these Debian packages: ${missing[*]}" >&2
        echo "Install them as root, then run this again:" >&2
        echo "  sudo apt-get update && sudo $command" >&2
        exit 1
    fi
    echo "Installing ${missing[*]} ..."
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $command
}

# Configures (once) and builds one build folder. Extra arguments go to the first configure.
# VELTRANE_BUILD_TARGET, when set, builds that target alone.
build_tree() {
    local dir=$1
    shift
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$VELTRANE_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DVELTRANE_WERROR=ON "$@"
    fi
    cmake --build "$dir" ${VELTRANE_BUILD_TARGET:+--target "$VELTRANE_BUILD_TARGET"}
}

# The Windows program in build-windows/, cross-compiled with MinGW-w64. Its pictures are drawn
# by the Linux build from the same sources as the Qt windows', so that one comes first.
build_windows_tree() {
    VELTRANE_BUILD_TARGET=veltrane_ico build_tree "$VELTRANE_ROOT/build"
    build_tree "$VELTRANE_ROOT/build-windows" \
        -DCMAKE_TOOLCHAIN_FILE="$VELTRANE_ROOT/cmake/mingw-w64.cmake" \
        -DVELTRANE_PICTURES_DIR="$VELTRANE_ROOT/build/pictures"
}

# The Windows program released and stripped, in build-windows-release/, for the benchmark and
# the zip.
build_windows_release_tree() {
    VELTRANE_BUILD_TARGET=veltrane_ico build_tree "$VELTRANE_ROOT/build"
    build_tree "$VELTRANE_ROOT/build-windows-release" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$VELTRANE_ROOT/cmake/mingw-w64.cmake" \
        -DVELTRANE_PICTURES_DIR="$VELTRANE_ROOT/build/pictures"
}

# Wine in a prefix of our own, its helper processes started beforehand and quietly: they would
# otherwise inherit an output pipe and hold up whoever reads it. Start it with DISPLAY set: a
# desktop process started without one leaves every later window hanging in its creation.
start_wine() {
    export WINEPREFIX="$VELTRANE_ROOT/build/wineprefix"
    export WINEDEBUG=-all
    mkdir -p "$WINEPREFIX"
    wineserver -p >/dev/null 2>&1 </dev/null || true # already running is fine
    wine wineboot >/dev/null 2>&1 </dev/null || true
    # Wine finds the monitors of an X screen xrandr has divided through Xinerama, not RandR;
    # its desktop process reads them as it starts, so it is started again.
    if ! grep -q '"UseXRandR"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f >/dev/null 2>&1
        wineserver -k
        wineserver -p >/dev/null 2>&1 </dev/null || true
        wine wineboot >/dev/null 2>&1 </dev/null || true
    fi
}

# A runtime folder of our own: Qt warns without one.
use_private_runtime_dir() {
    if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "$XDG_RUNTIME_DIR" ]; then
        export XDG_RUNTIME_DIR="$VELTRANE_ROOT/build/runtime"
        mkdir -p "$XDG_RUNTIME_DIR"
        chmod 700 "$XDG_RUNTIME_DIR"
    fi
}

# A private X server on the first free display. Sets VELTRANE_DISPLAY (":N") and VELTRANE_XVFB
# (its process, for the caller to stop). With "two-monitors", a 1280x800 primary monitor with a
# 1024x768 one to its right.
start_xvfb() {
    local display=90 size=1280x800
    [ "${1:-}" != two-monitors ] || size=2304x800
    while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
        display=$((display + 1))
    done
    Xvfb ":$display" -screen 0 "${size}x24" -noreset >/dev/null 2>&1 &
    VELTRANE_XVFB=$!
    VELTRANE_DISPLAY=":$display"
    for _ in $(seq 50); do
        if [ -e "/tmp/.X11-unix/X$display" ]; then
            [ "${1:-}" != two-monitors ] && return 0
            DISPLAY=$VELTRANE_DISPLAY xrandr --setmonitor left 1280/339x800/212+0+0 screen >/dev/null &&
                DISPLAY=$VELTRANE_DISPLAY xrandr --setmonitor right 1024/270x768/203+1280+0 none >/dev/null
            return
        fi
        sleep 0.1
    done
    echo "Xvfb did not start on $VELTRANE_DISPLAY" >&2
    return 1
}

# Stops what start_xvfb and start_wine started: for a trap on EXIT.
stop_servers() {
    wineserver -k >/dev/null 2>&1 || true
    [ -z "${VELTRANE_XVFB:-}" ] || kill "$VELTRANE_XVFB" 2>/dev/null || true
}
