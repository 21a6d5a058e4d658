#!/bin/bash
# Run inside the virtual machine: as root before the login (with "root"), then as alice's login
# shell on tty1 (with "user"), each calling the scenario's function of that name.
source /payload/guest.sh
source /payload/scenario.sh
if [ "$1" = root ]; then
    dpkg -i /payload/veltrane.deb >/dev/null || say "the package did not install"
    as_root
else
    exec > /dev/ttyS0 2>&1
    start_x
    as_user
    sleep infinity
fi
