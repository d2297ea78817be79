#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# bootdisk's bash completion as bash completes with it (bash-completion's helpers loaded): each
# command line is split into words as bash splits it, and what Tab offers for its last word is
# compared; and every command and option that bootdisk's own --help lists is offered.
# Usage: completion.bash COMPLETION-FILE BOOTDISK
set -uo pipefail
helpers=/usr/share/bash-completion/bash_completion
[ -r "$helpers" ] || { echo "SKIP: bash-completion is not installed ($helpers)"; exit 77; }
# shellcheck disable=SC1090
source "$helpers"
source "$1"
bootdisk=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" && mkdir folder && touch boot.iso other.img notes.txt
failures=0

# The candidates Tab offers for LINE's last word, sorted, one line: bash's words break at blanks
# and at the = and : of COMP_WORDBREAKS, a break character being a word of its own.
offered() {
    local line=$1 word="" c i
    COMP_LINE=$line COMP_POINT=${#line} COMP_WORDS=()
    for ((i = 0; i < ${#line}; i++)); do
        c=${line:i:1}
        case $c in
            ' ') [[ -n $word ]] && COMP_WORDS+=("$word"); word="" ;;
            [=:]) [[ -n $word ]] && COMP_WORDS+=("$word"); COMP_WORDS+=("$c"); word="" ;;
            *) word+=$c ;;
        esac
    done
    [[ -n $word || $line == *' ' ]] && COMP_WORDS+=("$word")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _bootdisk bootdisk "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd' ' -
}

expect() {
    local got
    got=$(offered "$1")
    [ "$got" = "$2" ] || { echo "'$1' offers '$got', not '$2'"; failures=$((failures + 1)); }
}

# Row kinds and their targets, the part before the last = or : left as typed.
expect "bootdisk create i" "img= iso="
expect "bootdisk create fl" "floppy floppy="
expect "bootdisk create 2:i" "img= iso="
expect "bootdisk create iso=" "boot.iso folder"
expect "bootdisk create 2:iso=bo" "boot.iso"
expect "bootdisk create 3:img=" "folder other.img"
expect "bootdisk create cd=sim-" "sim-aspi:"
expect "bootdisk create n" "net="
expect "bootdisk create 2:net=" "folder"
# Options by command, their values, operands.
expect "bootdisk devices --" "--help --json --language"
expect "bootdisk netboot " "folder"
expect "bootdisk netboot folder --loaders " "folder"
expect "bootdisk serve folder --interface l" "lo"
expect "bootdisk payload --language=" "de en"
expect "bootdisk usb /dev/sdb --os=" "msdos rx"
expect "bootdisk usb /dev/sdb --os m" "msdos"
expect "bootdisk image --payload " "boot.iso folder notes.txt other.img"
expect "bootdisk iso " "boot.iso folder"
expect "bootdisk burn sim" "sim-aspi: sim:"
expect "bootdisk payload " ""

# Everything the program's help lists: the commands, and each command's option column.
commands=$("$bootdisk" --help | sed -n '/^commands:/,/^$/s/^  \([a-z]*\) .*/\1/p' | sort | paste -sd' ' -)
expect "bootdisk " "$(echo "$commands --help --version" | tr ' ' '\n' | sort | paste -sd' ' -)"
for command in $commands; do
    options=$("$bootdisk" "$command" --help | awk '/^  -/ { sub(/^  /, ""); split($0, column, "  "); print column[1] }' |
        grep -o -- '-[-a-z0-9[]*\]\?[a-z0-9-]*' | sed 's/^--\[no-\]\(.*\)/--\1 --no-\1/' | tr ' ' '\n')
    expect "bootdisk $command -" "$(printf '%s\n' $options --help | sort -u | paste -sd' ' -)"
done

[ "$failures" -eq 0 ] || exit 1
echo "completion: all offered as expected"
