#!/usr/bin/env bash
# Usage: debian-root.sh SUITE COMMAND [ARGS...]
# Runs COMMAND as root inside a Debian SUITE root (trixie: Wine 10) with Wine, Xvfb and CTest,
# with this clone bound at its own absolute path (ctest files and Wine prefixes hold absolute
# paths) and as the working directory. The root is made with debootstrap the first time and
# kept outside the clone, under /var/cache (KEST_DEBIAN_ROOT overrides the folder), so that a
# machine that still has it skips making it, from the Debian mirror the host's apt uses
# (KEST_DEBIAN_MIRROR overrides it). Needs root: debootstrap, chroot and mount do.
set -euo pipefail
die() { echo "debian-root: $*" >&2; exit 1; }

[ $# -ge 2 ] || die "usage: $0 SUITE COMMAND [ARGS...]"
[ "$(id -u)" -eq 0 ] || die "must run as root (debootstrap, chroot and mount need it); try sudo $0 $*"
for tool in debootstrap chroot flock findmnt; do
    command -v "$tool" >/dev/null || die "$tool is missing (apt-get install debootstrap util-linux)"
done
suite=$1
shift
clone=$(cd "$(dirname "$0")/.." && pwd -P)
dir=$(realpath -m "${KEST_DEBIAN_ROOT:-/var/cache/kest-setup/debian-$suite}")
case $dir in
*[[:space:]\\]*) die "the root's path must hold no blanks or backslashes: $dir" ;;
"$clone" | "$clone"/*) die "the root must lie outside the clone: $dir" ;;
esac
case $clone in "$dir"/*) die "the clone must lie outside the root: $clone" ;; esac

# What a finished root holds; a root marked with another recipe is made again.
packages="wine wine32:i386 xvfb xauth cmake"
recipe="suite=$suite packages=$packages"
mark=$dir/.kest-root-finished

mkdir -p "${dir%/*}"
exec 9>"$dir.lock"
flock -n 9 || { echo "debian-root: waiting for another user of $dir" >&2; flock 9; }

# Anything mounted at or under the root: removing it then would remove the host's files.
mounted_under() { findmnt -rn -o TARGET | awk -v d="$dir" '$0 == d || index($0, d "/") == 1'; }

mounts=()
unmount_all() {
    # Whatever the command left running in the root (a wineserver) would keep its mounts busy.
    local pids=() process
    for process in /proc/[0-9]*; do
        [ "$(readlink "$process/root" 2>/dev/null)" != "$dir" ] || pids+=("${process#/proc/}")
    done
    if [ ${#pids[@]} -gt 0 ]; then
        kill "${pids[@]}" 2>/dev/null || true
        sleep 1
        kill -KILL "${pids[@]}" 2>/dev/null || true
    fi
    local i
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount -R "${mounts[i]}" || umount -R --lazy "${mounts[i]}" ||
            echo "debian-root: could not unmount ${mounts[i]}" >&2
    done
    mounts=()
}
trap unmount_all EXIT
trap 'exit 130' INT TERM

# Slave mounts: what the root does under them never propagates back to the host (a bind of a
# shared mount would otherwise share its unmounts with the source).
bind() {
    local source=$1 target=$dir$2
    if [ -d "$source" ]; then mkdir -p "$target"; else
        [ ! -L "$target" ] || rm -f "$target" # a link would be followed out of the root
        touch "$target"
    fi
    mount --rbind "$source" "$target"
    mounts+=("$target")
    mount --make-rslave "$target"
}

if [ "$(cat "$mark" 2>/dev/null)" != "$recipe" ]; then
    # The host's own Debian mirror (or proxy) serves every suite; this clone names none itself.
    mirror=${KEST_DEBIAN_MIRROR:-$("$clone/scripts/debian-mirror.sh")} ||
        die "no Debian mirror to make the root from; set KEST_DEBIAN_MIRROR"
    if [ -e "$dir" ]; then
        busy=$(mounted_under)
        [ -z "$busy" ] || die "refusing to remove the unfinished root $dir, as this is mounted
under it (an interrupted run left it; take it down with umount -R, then run again):
$busy"
        echo "debian-root: removing the unfinished or outdated root $dir" >&2
        rm -rf --one-file-system "$dir"
    fi
    mkdir -p "$dir/etc/dpkg/dpkg.cfg.d"
    # Speed over durability (a root cut short is made again) and no documentation.
    printf '%s\n' force-unsafe-io path-exclude=/usr/share/doc/* path-exclude=/usr/share/man/* \
        path-exclude=/usr/share/locale/* path-exclude=/usr/share/info/* \
        >"$dir/etc/dpkg/dpkg.cfg.d/kest-root"
    echo "debian-root: making a Debian $suite root in $dir from $mirror (a minute or so)" >&2
    debootstrap --variant=minbase "$suite" "$dir" "$mirror"
fi

# The root becomes a private mount of its own: what is mounted under it shows in no other mount
# namespace of the host, and what is left under it goes with it in one umount -R.
mount --bind "$dir" "$dir"
mounts+=("$dir")
mount --make-private "$dir"
mount -t proc proc "$dir/proc"
mounts+=("$dir/proc")
bind /sys /sys
bind /dev /dev
bind /etc/resolv.conf /etc/resolv.conf
bind "$clone" "$clone"

# A clean environment: Debian 13's Wine 10 crashes ("free(): invalid pointer") when TMPDIR is
# set, and the host's other variables mean nothing in the root.
in_root() {
    chroot "$dir" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
}

if [ "$(cat "$mark" 2>/dev/null)" != "$recipe" ]; then
    in_root dpkg --add-architecture i386
    echo 'Acquire::Languages "none";' >"$dir/etc/apt/apt.conf.d/99kest-root" # no translations
    in_root apt-get update -q
    in_root env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends $packages
    in_root apt-get clean
    echo "$recipe" >"$mark"
fi

in_root sh -c 'cd "$0" && exec "$@"' "$clone" "$@"
