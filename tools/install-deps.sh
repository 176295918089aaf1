#!/usr/bin/env bash
# Installs the Debian packages the kit needs, only those that are missing.
# Runs as root in CI; elsewhere it uses sudo when a package is missing.
set -euo pipefail

# Keep in step with the dependency list in README.md.
packages=(cmake make pkg-config g++ libgtest-dev libgmock-dev libbenchmark-dev clang-format
          librtmidi-dev libsdl2-dev libfreetype-dev xfonts-shinonome libpng-dev
          libfluidsynth-dev fluidr3mono-gm-soundfont libspeechd-dev)
if [ "${1:-}" = "--fuzz" ]; then
    packages+=(clang libclang-rt-dev)
fi
# The Windows programs: the mingw-w64 cross compilers (POSIX threads), Wine to run the x86-64
# test build (this kernel runs no 32-bit programs), a virtual display for it, and the
# GoogleTest sources to build the test library with the cross compiler.
if [ "${1:-}" = "--windows" ]; then
    packages+=(mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 xvfb
               googletest)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive

# Another package manager (an unattended upgrade, a second install) may hold apt's locks.
# Wait for it, up to ZB_APT_LOCK_WAIT seconds, instead of failing at once.
lock_wait_limit=${ZB_APT_LOCK_WAIT:-600}
lock_retry_pause=${ZB_APT_LOCK_PAUSE:-5}
[ "$lock_retry_pause" -ge 1 ] || lock_retry_pause=1
apt_with_lock_wait() {
    local waited=0 log status
    log=$(mktemp)
    while true; do
        status=0
        "${as_root[@]}" apt-get -o DPkg::Lock::Timeout="$lock_wait_limit" "$@" 2>"$log" || status=$?
        if [ "$status" -eq 0 ]; then
            cat "$log" >&2
            rm -f "$log"
            return 0
        fi
        if ! grep -qiE "could not get lock|unable to acquire|is another process using it" "$log"; then
            cat "$log" >&2
            rm -f "$log"
            return "$status"
        fi
        if [ "$waited" -ge "$lock_wait_limit" ]; then
            cat "$log" >&2
            echo "install-deps: apt was still locked by another package manager after ${waited} s" >&2
            rm -f "$log"
            return "$status"
        fi
        if [ "$waited" -eq 0 ]; then
            echo "install-deps: another package manager holds apt's lock; waiting (at most ${lock_wait_limit} s)" >&2
        fi
        sleep "$lock_retry_pause"
        waited=$((waited + lock_retry_pause))
    done
}

apt_with_lock_wait update -qq
apt_with_lock_wait install -y -qq --no-install-recommends "${missing[@]}"
