#!/bin/bash
# The package install waits while another package manager holds apt's lock, gives up after
# its limit with a message, and fails at once on any other apt error. apt-get, dpkg-query
# and sudo are stand-ins here, so nothing is installed.
set -u
script="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/bin"

cat >"$dir/bin/dpkg-query" <<'STUB'
#!/bin/sh
echo "unknown ok not-installed"
STUB
cat >"$dir/bin/sudo" <<'STUB'
#!/bin/sh
exec "$@"
STUB
# Fails with apt's lock message while the count in locked_calls lasts (or another error when
# OTHER_ERROR is set); logs every call.
cat >"$dir/bin/apt-get" <<'STUB'
#!/bin/sh
echo "$*" >>"$STUB_DIR/calls"
if [ -n "${OTHER_ERROR:-}" ]; then
    echo "E: Unable to locate package nothing-like-this" >&2
    exit 100
fi
left=$(cat "$STUB_DIR/locked_calls")
if [ "$left" -gt 0 ]; then
    echo $((left - 1)) >"$STUB_DIR/locked_calls"
    echo "E: Could not get lock /var/lib/dpkg/lock-frontend. It is held by process 4242 (apt-get)" >&2
    exit 100
fi
exit 0
STUB
chmod +x "$dir/bin/"*
export STUB_DIR="$dir" PATH="$dir/bin:$PATH" ZB_APT_LOCK_PAUSE=1
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The lock is released after two refused calls: the install goes on and says it waited.
echo 2 >"$dir/locked_calls"
: >"$dir/calls"
ZB_APT_LOCK_WAIT=30 bash "$script" >"$dir/out" 2>&1
status=$?
[ "$status" -eq 0 ] || fail "released lock: status $status: $(cat "$dir/out")"
grep -q "waiting" "$dir/out" || fail "released lock: no waiting message: $(cat "$dir/out")"
[ "$(grep -c ' update ' "$dir/calls")" -eq 3 ] || fail "released lock: update calls: $(cat "$dir/calls")"
[ "$(grep -c ' install ' "$dir/calls")" -eq 1 ] ||
    fail "released lock: install calls: $(cat "$dir/calls")"

# The lock is never released: the install gives up after its limit and says why.
echo 1000 >"$dir/locked_calls"
: >"$dir/calls"
ZB_APT_LOCK_WAIT=2 bash "$script" >"$dir/out" 2>&1
status=$?
[ "$status" -ne 0 ] || fail "held lock: reported success"
grep -q "still locked" "$dir/out" || fail "held lock: no give-up message: $(cat "$dir/out")"
calls=$(wc -l <"$dir/calls")
[ "$calls" -ge 2 ] && [ "$calls" -le 4 ] || fail "held lock: $calls calls for a 2 s limit"

# Any other apt failure ends the install at once, without waiting.
echo 0 >"$dir/locked_calls"
: >"$dir/calls"
OTHER_ERROR=1 ZB_APT_LOCK_WAIT=30 bash "$script" >"$dir/out" 2>&1
status=$?
[ "$status" -ne 0 ] || fail "other error: reported success"
grep -q "waiting" "$dir/out" && fail "other error: waited: $(cat "$dir/out")"
[ "$(wc -l <"$dir/calls")" -eq 1 ] || fail "other error: retried: $(cat "$dir/calls")"

[ "$failures" -eq 0 ] && echo "install-deps lock wait: all cases pass"
exit "$failures"
