#!/usr/bin/env bash
# The shells' completion of the options, run by the shells themselves:
#   completion.sh BASH_FILE ZSH_FILE
# bash with the completion file loaded, as bash-completion loads it, offers what Tab would; zsh
# reads its file.
set -euo pipefail
bash_file=$1
zsh_file=$2
offered() { # WORDS...: what Tab offers after the last word
    bash --norc --noprofile -c '
        source "$1"
        shift
        COMP_WORDS=("$@")
        COMP_CWORD=$(($# - 1))
        COMPREPLY=()
        _veltrane
        echo "${COMPREPLY[*]}"' completion "$bash_file" "$@"
}
failed=0
expect() { # OFFERED WORDS...
    local said
    said=$(offered "${@:2}")
    if [ "$said" != "$1" ]; then
        echo "FAIL: '${*:2}' then Tab offers '$said', not '$1'"
        failed=1
    fi
}
expect "--snooze --status" veltrane --s
expect "--cancel" veltrane --c
expect "--dry-run" veltrane --in 5m --d
expect "10m 30m 1h 1h30m 2h" veltrane --in ""
expect "10m 1h 1h30m" veltrane --snooze 1
expect "--status" veltrane --snooze --st
expect "" veltrane --at ""
if command -v zsh >/dev/null; then
    zsh -n "$zsh_file" || { echo "FAIL: zsh cannot read _veltrane"; failed=1; }
fi
[ "$failed" = 0 ] && echo "PASS: bash completes the options and their spans; zsh reads its file"
exit "$failed"
