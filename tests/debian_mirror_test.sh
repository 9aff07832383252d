#!/usr/bin/env bash
# Usage: debian_mirror_test.sh <debian-mirror.sh>
# Which mirror debian-root.sh takes from a host's apt sources, one host a case: its system, its
# sources, and the mirror found or the reason none is.
set -uo pipefail
finder=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

# case NAME SYSTEM(id:codename) EXPECTED FILE=TEXT...
case_() {
    local name=$1 system=$2 expected=$3 root=$scratch/$1 file
    shift 3
    mkdir -p "$root/etc/apt/sources.list.d"
    printf 'ID=%s\nVERSION_CODENAME=%s\n' "${system%%:*}" "${system#*:}" >"$root/etc/os-release"
    for file in "$@"; do printf '%b\n' "${file#*=}" >"$root/etc/apt/${file%%=*}"; done
    local found
    found=$("$finder" "$root" 2>&1)
    if [[ "$found" != *"$expected"* ]]; then
        echo "FAILED $name: expected '$expected', got '$found'"
        failures=$((failures + 1))
    fi
}

main='Types: deb\nURIs: http://mirror.example/debian/\nSuites: bookworm bookworm-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg'
security='Types: deb\nURIs: http://security.example/debian-security\nSuites: bookworm-security\nComponents: main'
vendor='deb [arch=amd64 signed-by=/usr/share/keyrings/vendor.gpg] https://vendor.example/apt bookworm main'

case_ deb822 debian:bookworm "http://mirror.example/debian" sources.list.d/debian.sources="$main"
case_ security-first debian:bookworm "http://mirror.example/debian" sources.list.d/debian.sources="$security\n\n$main"
case_ one-line debian:trixie "http://proxy.example:3142/debian" sources.list="# deb http://commented.example/debian trixie main\ndeb-src http://source.example/debian trixie main\ndeb http://proxy.example:3142/debian trixie main contrib"
case_ options debian:bookworm "https://mirror.example/debian" sources.list="deb [ arch=amd64 trusted=yes ] https://mirror.example/debian bookworm main"
case_ vendor-with-the-same-suite debian:bookworm "http://mirror.example/debian" sources.list.d/vendor.list="$vendor" sources.list.d/debian.sources="$main"
case_ inline-key-is-a-vendor debian:bookworm "no apt source of this host serves Debian bookworm" sources.list.d/vendor.sources="Types: deb\nURIs: https://vendor.example/apt\nSuites: bookworm\nSigned-By:\n -----BEGIN PGP PUBLIC KEY BLOCK-----\n ."
case_ disabled debian:bookworm "http://mirror.example/debian" sources.list.d/a.sources="Types: deb\nURIs: http://off.example/debian\nSuites: bookworm\nEnabled: no\n\n$main"
case_ other-suites-only debian:bookworm "no apt source of this host serves Debian bookworm" sources.list="deb http://mirror.example/debian trixie main\ndeb http://mirror.example/debian bookworm-backports main"
case_ not-listed-as-sources debian:bookworm "no apt source of this host serves Debian bookworm" sources.list.d/debian.sources.disabled="$main"
case_ ubuntu ubuntu:noble "this host runs ubuntu, not Debian" sources.list="deb http://archive.example/ubuntu noble main"

[ "$failures" -eq 0 ] && echo "all cases passed"
exit "$failures"
