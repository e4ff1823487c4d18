#!/usr/bin/env bash
# The package as a secretary gets it: build the .deb, install it into this machine, run the
# command line program, start the program the way its menu entry does (with the demo) under a
# virtual screen long enough to photograph its main window, then remove the package.
# Needs root (scripts/test.sh runs it only as root).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -ne 0 ]; then
    echo "package test skipped: it installs the package and needs root"
    exit 0
fi
BUILD_DIR=${BUILD_DIR:-build}
# grep -q reads from a here-string, not a pipe: leaving a pipe early would end the writer with
# SIGPIPE, which pipefail takes for a failure.
if grep -q "install ok installed" <<<"$(dpkg-query -W -f='${Status}' pennavox 2>/dev/null)"; then
    echo "package test skipped: a pennavox package is installed already; it is left alone"
    exit 0
fi
deb="$(NO_INSTALL=1 bash scripts/package.sh | tail -1)"
echo "package: $deb"
dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ */  depends: /'
grep -q libqt6widgets6 <<<"$(dpkg-deb -f "$deb" Depends)" || { echo "no Qt dependency declared"; exit 1; }

work="$(mktemp -d)"
cleanup() {
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -q pennavox >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
for attempt in 1 2 3 4 5 6; do # another apt may hold the lock for a moment
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb" >"$work/apt.log" 2>&1 && break
    [ "$attempt" = 6 ] && { cat "$work/apt.log"; exit 1; }
    sleep 10
done

grep -q "recalc-distances" <<<"$(pennavox-cli --help)"
pennavox-cli --version
entry=/usr/share/applications/org.pennavox.Pennavox.desktop
exec_line="$(sed -n 's/^Exec=//p' "$entry")"
shot="$PWD/$BUILD_DIR/package-main-window.png"
rm -f "$shot"
cat >"$work/session.sh" <<SESSION
set -u
$exec_line --demo --data "$work/club" >"$work/program.log" 2>&1 &
pid=\$!
for i in \$(seq 1 40); do
    sleep 0.5
    kill -0 \$pid 2>/dev/null || { echo "the program ended early"; cat "$work/program.log"; exit 1; }
    [ \$i -ge 12 ] && break
done
import -window root "$shot"
kill \$pid
wait \$pid 2>/dev/null
exit 0
SESSION
HOME="$work" xvfb-run --auto-servernum -s "-screen 0 1440x900x24" bash "$work/session.sh"
# a blank screen has a colour or two; the main window with the demo has many
colours="$(convert "$shot" -format %k info:)"
echo "screenshot: $shot ($colours colours)"
[ "$colours" -gt 50 ] || { echo "no window on the screen"; exit 1; }
test -f "$work/club/Pennavox_Europe.mdb" # --demo --data DIR keeps the database in DIR
echo "package test passed"
