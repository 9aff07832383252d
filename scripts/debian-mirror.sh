#!/usr/bin/env bash
# Usage: debian-mirror.sh [ROOT]
# Prints the Debian mirror this host's apt uses, for debootstrap to make another Debian suite's
# root from: the first "deb" (or deb822 "Types: deb") entry under ROOT/etc/apt (ROOT defaults to
# /) whose suite is the host's own Debian codename. That skips deb-src entries, security and
# update suites, and sources signed by a keyring other than Debian's archive keyring (third
# parties that publish a suite of the same name). Fails, saying why, on a host that is not Debian
# (an Ubuntu mirror holds no Debian suite) and where no such entry exists.
set -euo pipefail
root=${1:-}
die() { echo "debian-mirror: $*" >&2; exit 1; }

[ -r "$root/etc/os-release" ] || die "no $root/etc/os-release: cannot tell which system this is"
id=$(. "$root/etc/os-release" && echo "${ID:-}")
codename=$(. "$root/etc/os-release" && echo "${VERSION_CODENAME:-}")
[ "$id" = debian ] || die "this host runs ${id:-an unknown system}, not Debian, so its apt sources name no Debian mirror"
[ -n "$codename" ] || die "$root/etc/os-release names no VERSION_CODENAME"

shopt -s nullglob
lists=("$root"/etc/apt/sources.list.d/*.list)
[ ! -f "$root/etc/apt/sources.list" ] || lists=("$root/etc/apt/sources.list" "${lists[@]}")
decks=("$root"/etc/apt/sources.list.d/*.sources)
# One "URI suite keyring" line per deb entry, in apt's order: the one-line files, then deb822.
entries() {
    [ ${#lists[@]} -eq 0 ] || awk '
        { sub(/#.*/, "") }
        $1 != "deb" { next }
        {
            keyring = ""; i = 2
            if ($i ~ /^\[/) { # options, up to the word that closes them
                for (; i <= NF; i++) {
                    if (match($i, /signed-by=[^] ]*/)) keyring = substr($i, RSTART + 10, RLENGTH - 10)
                    if ($i ~ /\]$/) { i++; break }
                }
            }
            if (i + 1 <= NF) print $i, $(i + 1), (keyring == "" ? "-" : keyring)
        }' "${lists[@]}"
    [ ${#decks[@]} -eq 0 ] || awk '
        function flush(   n, u, s, i, j, uris, suites) {
            if (types ~ /(^| )deb( |$)/ && enabled !~ /^(no|false|0)$/) {
                n = split(uri, uris, " "); s = split(suite, suites, " ")
                for (i = 1; i <= n; i++) for (j = 1; j <= s; j++)
                    print uris[i], suites[j], (keyring == "" ? "-" : keyring)
            }
            types = uri = suite = keyring = enabled = ""
        }
        /^[ \t]*#/ { next }
        /^[ \t]*$/ { flush(); next }
        /^[ \t]/ { next } # a continued field: an inline key
        {
            field = tolower($1); value = $0; sub(/^[^:]*:[ \t]*/, "", value)
            if (field == "types:") types = value
            else if (field == "uris:") uri = value
            else if (field == "suites:") suite = value
            else if (field == "signed-by:") keyring = (value == "" ? "inline" : value)
            else if (field == "enabled:") enabled = tolower(value)
        }
        END { flush() }' "${decks[@]}"
}

while read -r uri suite keyring; do
    [ "$suite" = "$codename" ] || continue
    case $keyring in -|*/debian-archive-keyring.gpg) ;; *) continue ;; esac
    case $uri in http://* | https://* | ftp://* | file:/*) ;; *) continue ;; esac
    echo "${uri%/}"
    exit 0
done < <(entries)
die "no apt source of this host serves Debian $codename (in $root/etc/apt); set KEST_DEBIAN_MIRROR to a Debian mirror"
