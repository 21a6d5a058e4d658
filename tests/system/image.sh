#!/usr/bin/env bash
# Builds, once, a Debian 12 disk image for the system tests: systemd with the real logind and
# polkit, an X server, the packages the given .deb depends on, a kernel and its initramfs (for a
# direct kernel boot), and two users: alice, logged in on tty1 at boot, and bob. Each boot runs
# what /dev/vdb (a tar file attached as a second disk) brings: root.sh as root before the login,
# user.sh as alice's login shell. Both write to the serial console.
#   tests/system/image.sh DEB    prints the folder holding rootfs.img, vmlinuz and initrd.img
# The image is cached under VELTRANE_VM_CACHE (/var/tmp/veltrane-vm), keyed by what goes into it.
set -euo pipefail

deb=$1
cache=${VELTRANE_VM_CACHE:-/var/tmp/veltrane-vm}

# The .deb's dependencies, first of each alternative, without versions; what a desktop brings
# besides (Qt's X11 plugin, a font); what the tests drive the guest with.
mapfile -t depends < <(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/|.*//; s/(.*)//; s/ //g' |
                           grep -v '^$')
packages=(systemd systemd-sysv libpam-systemd dbus dbus-user-session polkitd
          linux-image-amd64 initramfs-tools procps xvfb xdotool x11-utils qt6-qpa-plugins
          fonts-dejavu-core "${depends[@]}")
mapfile -t packages < <(printf '%s\n' "${packages[@]}" | sort -u)

# The machine's own apt sources, as they are configured.
sources=()
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] && grep -q '^[^#[:space:]]' "$file" && sources+=("$file")
done

key=$( (printf '%s\n' "${packages[@]}"; cat "$0" "${sources[@]}") | sha256sum | cut -c1-16)
folder="$cache/$key"
if [ -f "$folder/done" ]; then
    echo "$folder"
    exit 0
fi

rm -rf "$folder"
mkdir -p "$folder"
root="$folder/root"
started=$SECONDS
echo "Building the system tests' Debian 12 image in $folder ..." >&2
# The customize hooks run on the host with the new tree as $1.
mmdebstrap --variant=apt --include="$(IFS=,; echo "${packages[*]}")" \
    --customize-hook='echo veltrane-vm > "$1/etc/hostname"' \
    --customize-hook='chroot "$1" useradd -m -u 1000 -s /bin/bash alice' \
    --customize-hook='chroot "$1" useradd -m -u 1001 -s /bin/bash bob' \
    --customize-hook='chroot "$1" passwd -d root >/dev/null' \
    --customize-hook='mkdir -p "$1/etc/systemd/system/getty@tty1.service.d"' \
    --customize-hook='printf "%s\n" "[Unit]" "After=veltrane-payload.service" "[Service]" "ExecStart=" "ExecStart=-/sbin/agetty --autologin alice --noclear %I \$TERM" > "$1/etc/systemd/system/getty@tty1.service.d/autologin.conf"' \
    --customize-hook='mkdir -p "$1/etc/systemd/system/getty@tty2.service.d"' \
    --customize-hook='printf "%s\n" "[Service]" "ExecStart=" "ExecStart=-/sbin/agetty --autologin bob --noclear %I \$TERM" > "$1/etc/systemd/system/getty@tty2.service.d/autologin.conf"' \
    --customize-hook='printf "%s\n" "[Unit]" "Before=getty@tty1.service" "After=systemd-logind.service" "[Service]" "Type=oneshot" "RemainAfterExit=yes" "ExecStart=/bin/sh -c \"mkdir -p /payload && tar -xf /dev/vdb -C /payload && chmod 666 /dev/ttyS0 && exec /payload/root.sh\"" "StandardOutput=tty" "StandardError=tty" "TTYPath=/dev/ttyS0" "[Install]" "WantedBy=multi-user.target" > "$1/etc/systemd/system/veltrane-payload.service"' \
    --customize-hook='chroot "$1" systemctl enable veltrane-payload.service' \
    --customize-hook='printf "%s\n" "[ \"\$(tty)\" = /dev/tty1 ] && [ -x /payload/user.sh ] && exec /payload/user.sh" > "$1/home/alice/.bash_profile"' \
    --customize-hook='chroot "$1" systemctl mask serial-getty@ttyS0.service apt-daily.timer apt-daily-upgrade.timer e2scrub_all.timer fstrim.timer man-db.timer >/dev/null 2>&1 || true' \
    --customize-hook='rm -f "$1/etc/machine-id"; touch "$1/etc/machine-id"' \
    bookworm "$root" "${sources[@]}" >&2
cp -L "$root/vmlinuz" "$folder/vmlinuz"
cp -L "$root/initrd.img" "$folder/initrd.img"
mke2fs -q -t ext4 -d "$root" -L veltrane "$folder/rootfs.img" 3G >&2
rm -rf "$root"
touch "$folder/done"
echo "Image built in $((SECONDS - started)) s." >&2
echo "$folder"
