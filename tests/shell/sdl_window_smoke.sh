#!/bin/sh
# The desktop window without a display: on SDL's offscreen driver zb47 starts, runs its
# timer and ends through its close box when the system asks it to (SIGTERM), with status 0;
# and asked for a real window where there is no display, it says so and points at --headless.
set -u
program="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# SDL's own libraries keep some memory to the end; that is not ours to report.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"

SDL_VIDEODRIVER=offscreen "$program" --scale 1 >"$dir/out" 2>&1 &
pid=$!
sleep 3
kill -TERM "$pid"
wait "$pid"
status=$?
if [ "$status" -ne 0 ]; then
    echo "offscreen run ended with status $status:"
    cat "$dir/out"
    exit 1
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    env -u SDL_VIDEODRIVER "$program" >"$dir/out" 2>&1
    status=$?
    if [ "$status" -eq 0 ] || ! grep -q -- "--headless" "$dir/out"; then
        echo "without a display: status $status, said:"
        cat "$dir/out"
        exit 1
    fi
fi
echo "ok"
