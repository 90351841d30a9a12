#!/usr/bin/env bash
# Makes this machine run i386 Linux programs, as Wine's 32-bit loader is one: natively where the
# kernel can, otherwise under qemu user mode, registered with the kernel's binfmt_misc for i386
# ELF programs and nothing else. What is in place is kept, so a second run sets nothing up; the
# registration and the package stay for later runs. Ends with one line saying how 32-bit
# programs run, or fails with the reason it cannot set them up.
#   setup-i386.sh
set -euo pipefail

# glibc's i386 loader (libc6:i386, which wine32:i386 brings): the program whose start is tried.
loader=/lib/ld-linux.so.2
# qemu-user's programs are static (from 9.1 on, which Debian 12 has in its backports suite; the
# package qemu-user-static is only a name kept for it), so the kernel can start one anywhere.
# Older qemu (bookworm's 7.2) ignores MAP_FIXED_NOREPLACE hints: Wine's reservation of its
# address space then crawls through 4 GB in 64 KB steps and never starts a program.
qemu=/usr/bin/qemu-i386
qemu_least=1:10.0
binfmt=/proc/sys/fs/binfmt_misc
entry=$binfmt/qemu-i386
# ELF, 32-bit, little-endian, an executable or shared object, machine 3 (i386): only these.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

fail() {
    echo "setup-i386.sh: 32-bit programs cannot run here: $*" >&2
    exit 1
}
need_root() {
    [ "$(id -u)" -eq 0 ] || fail "$1 needs root (run ./dev windows-test as root once)"
}

# Which program the kernel starts for an i386 program: the loader itself where it runs them
# natively, binfmt_misc's interpreter where it hands them on, nothing where neither. The loader is
# given a FIFO to load that no one writes: its open of it waits, and meanwhile its /proc/PID/exe
# names what runs.
i386_runner() {
    local dir pid exe="" shell i
    dir=$(mktemp -d)
    mkfifo "$dir/fifo"
    shell=$(readlink /proc/$$/exe)
    "$loader" "$dir/fifo" >/dev/null 2>&1 &
    pid=$!
    for ((i = 0; i < 200; i++)); do
        # Until the exec the child is a copy of this shell; a failed exec leaves no program.
        exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || { exe="" && break; }
        [ "$exe" != "$shell" ] && break
        sleep 0.05
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    rm -rf "$dir"
    echo "$exe"
}

qemu_version() { dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || true; }
new_enough() { [ -n "$1" ] && dpkg --compare-versions "$1" ge "$qemu_least"; }

# The entry as the kernel shows it: enabled, our interpreter, opened at registration (F: so it
# works in containers and chroots too), and our magic and mask.
entry_is_ours() {
    local want_magic want_mask
    want_magic=$(printf '%b' "$magic" | od -An -tx1 | tr -d ' \n')
    want_mask=$(printf '%b' "$mask" | od -An -tx1 | tr -d ' \n')
    [ -f "$entry" ] &&
        grep -qx enabled "$entry" &&
        grep -qx "interpreter $qemu" "$entry" &&
        grep -qx "flags: F" "$entry" &&
        grep -qx "magic $want_magic" "$entry" &&
        grep -qx "mask $want_mask" "$entry"
}

# The suite with qemu new enough: the release's own where it has one, else its backports suite,
# added from the mirror that serves the release.
install_qemu() {
    need_root "installing qemu-user"
    local codename candidate suite mirror keyring
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    apt-get update -qq
    candidate=$(apt-cache policy qemu-user | sed -n 's/^ *Candidate: //p')
    suite=()
    if ! new_enough "$candidate"; then
        [ -n "$codename" ] || fail "qemu-user $candidate is too old and the release is unknown"
        if ! grep -qrs -- "$codename-backports" /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
            /etc/apt/sources.list.d/*.sources; then
            read -r mirror keyring < <(release_mirror "$codename") || true
            [ -n "$mirror" ] || fail "no apt source for $codename to take the backports mirror from"
            echo "setting up: the $codename-backports suite from $mirror"
            {
                printf 'Types: deb\nURIs: %s\nSuites: %s-backports\nComponents: main\n' "$mirror" "$codename"
                [ -z "$keyring" ] || printf 'Signed-By: %s\n' "$keyring"
            } >"/etc/apt/sources.list.d/$codename-backports.sources"
            apt-get update -qq
        fi
        suite=(-t "$codename-backports")
    fi
    echo "setting up: qemu-user from ${suite[1]:-$codename}"
    # Without its recommended qemu-user-binfmt (which qemu-user-static depends on): that one
    # registers every other architecture qemu runs, at each boot of a machine with systemd.
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${suite[@]}" \
        qemu-user >/dev/null
}

# The mirror and keyring of the entry for the release itself, in deb822 or one-line form.
release_mirror() {
    local codename=$1
    awk -v RS= -v want="$codename" '
        { uris = ""; key = ""; found = 0
          n = split($0, lines, "\n")
          for (i = 1; i <= n; i++) {
              split(lines[i], w, /[ \t]+/)
              if (w[1] == "URIs:") uris = w[2]
              if (w[1] == "Signed-By:") key = w[2]
              if (w[1] == "Suites:") for (j = 2; j in w; j++) if (w[j] == want) found = 1
          }
          if (found && uris != "") { print uris, key; exit } }' \
        /etc/apt/sources.list.d/*.sources 2>/dev/null | head -n1 | grep . && return
    sed -n -E "s/^deb +(\[[^]]*\] +)?([^ ]+) +$codename +.*/\2/p" /etc/apt/sources.list \
        2>/dev/null | head -n1
}

[ -x "$loader" ] || fail "no $loader (Debian's wine32:i386 brings it; ./dev windows-test installs it)"
runner=$(i386_runner)
if [ "$runner" = "$(readlink -f "$loader")" ]; then
    echo "32-bit programs run natively: the kernel runs i386 programs"
    exit 0
fi

if [ ! -f "$binfmt/register" ]; then
    grep -qw binfmt_misc /proc/filesystems || fail "the kernel has no binfmt_misc"
    need_root "mounting binfmt_misc"
    echo "setting up: binfmt_misc at $binfmt"
    mount -t binfmt_misc binfmt_misc "$binfmt" || fail "binfmt_misc cannot be mounted at $binfmt"
fi

if ! new_enough "$(qemu_version)"; then
    before=$(ls "$binfmt")
    install_qemu
    new_enough "$(qemu_version)" || fail "qemu-user $(qemu_version) is older than $qemu_least"
    # Anything the package's scripts registered besides i386 goes again: the machine runs
    # nothing else differently.
    for e in $(comm -13 <(echo "$before") <(ls "$binfmt")); do
        if [ "$e" != qemu-i386 ]; then
            echo "removing the binfmt_misc entry $e that qemu-user's install made"
            echo -1 >"$binfmt/$e"
        fi
    done
fi

if ! entry_is_ours; then
    need_root "registering qemu-i386 with binfmt_misc"
    if [ -f "$entry" ]; then
        echo "replacing the binfmt_misc entry qemu-i386 ($(sed -n 's/^interpreter //p' "$entry"))"
        echo -1 >"$entry"
    fi
    echo "setting up: $qemu as binfmt_misc's interpreter of i386 programs"
    printf '%s' ":qemu-i386:M::$magic:$mask:$qemu:F" >"$binfmt/register"
fi

runner=$(i386_runner)
[ "$runner" = "$qemu" ] || fail "an i386 program started as '${runner:-nothing}', not under $qemu"
echo "32-bit programs run under qemu user mode: the kernel hands i386 programs to" \
    "$qemu $(qemu_version) (binfmt_misc)"
