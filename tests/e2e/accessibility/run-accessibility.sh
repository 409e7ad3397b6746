#!/usr/bin/env bash
# Runs accessibility.py: the real installer on a private virtual display, with
# the accessibility bus and registry on a private session bus, against a local
# HTTPS mirror serving the demo product. Everything started here stops when
# the script ends; the whole run is bounded by a timeout.
#
#   run-accessibility.sh INSTALLER SOURCE_DIR
set -euo pipefail
installer="$1"
cd "$2"

work="$(mktemp -d -t prismora-a11y.XXXXXX)"
xvfb_pid=""
source tests/fixtures/local-mirror.sh
cleanup() {
    stop_local_mirror
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/product"
cp -a tests/fixtures/demo-product/Prismora.app "$work/product/"
# Padding that makes each attempt last long enough to be seen (the mirror's
# "slow" mode sends 64 KiB every 20 ms).
mkdir -p "$work/product/Prismora.app/Contents/Resources"
head -c $((8 * 1024 * 1024)) /dev/urandom > "$work/product/Prismora.app/Contents/Resources/padding.bin"
(cd "$work/product" && zip -qry "$work/prismora.zip" Prismora.app)
start_local_mirror "$work" "$work/prismora.zip"

# A display of our own: -displayfd picks a free number without racing other runs.
exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1440x900x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 1 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
export DISPLAY=":$(head -n 1 "$work/display")"

# The accessibility bus is started on demand by the private session bus.
timeout 170 dbus-run-session -- /usr/bin/python3 tests/e2e/accessibility/accessibility.py \
    "$installer" resources/en.lproj/Localizable.strings "$work" "127.0.0.1:$mirror_port" "$mirror_ca" \
    "$(stat -c %s "$work/prismora.zip")" "$(sha256sum "$work/prismora.zip" | cut -d' ' -f1)" \
    tests/fixtures/demo-product/Prismora.app
