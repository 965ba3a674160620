#!/usr/bin/env bash
# check-install.sh CMAKE BUILD_DIR: installs the build into a scratch prefix
# and checks what lands there. Prints one line per failed check; exits 1 on
# any.
set -uo pipefail
cmake=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
failed=0
fail() {
  echo "FAIL: $*"
  failed=1
}

"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; echo "FAIL: cmake --install"; exit 1; }

# The programs and nothing else: tests, benchmarks and tools of the build
# stay behind.
bin=$(cd "$prefix/bin" && ls | tr '\n' ' ')
[ "$bin" = "laser-sim trevalon trevalon-ipc trevalon-tango " ] || fail "bin holds: $bin"

"$prefix/bin/laser-sim" --help >"$work/out" 2>&1 && grep -q -- "--pty" "$work/out" ||
  fail "laser-sim --help"
"$prefix/bin/trevalon-ipc" --help >"$work/out" 2>&1 && grep -q "^Usage: trevalon-ipc" "$work/out" ||
  fail "trevalon-ipc --help"
# A bad command line is refused with status 1, before any mailbox is opened.
"$prefix/bin/trevalon-ipc" --timeout >/dev/null 2>&1
[ $? -eq 1 ] || fail "trevalon-ipc with a bad command line: not status 1"
unit=$prefix/lib/systemd/system/trevalon-tango@.service
grep -q '^ExecStart=trevalon-tango %i' "$unit" 2>/dev/null || fail "no unit $unit"

# The program starts with no serial slot at all, and SIGTERM ends it in
# order. Its folder is writable, but an installed program keeps its event
# log in the user's state folder all the same.
export QT_QPA_PLATFORM=offscreen TREVALON_PORTS=""
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_STATE_HOME=$work/home/state
export XDG_CACHE_HOME=$work/home/cache
mkdir -p "$HOME"
"$prefix/bin/trevalon" >"$work/trevalon.out" 2>&1 &
pid=$!
log=$XDG_STATE_HOME/Trevalon/ExcMagic.Log
for _ in $(seq 600); do
  grep -qs "Program Started" "$log" && break
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
grep -qs "Program Started" "$log" || fail "trevalon wrote no start entry to $log"
kill -TERM $pid 2>/dev/null
wait $pid
status=$?
[ $status -eq 0 ] || { cat "$work/trevalon.out"; fail "trevalon ended by SIGTERM with status $status"; }
# The device server loads its Tango libraries from there: without an
# instance name it prints Tango's usage.
"$prefix/bin/trevalon-tango" >"$work/out" 2>&1
grep -q -- "-nodb" "$work/out" || { cat "$work/out"; fail "trevalon-tango without arguments"; }
[ -e "$prefix/bin/ExcMagic.Log" ] && fail "the installed program wrote its log into its bin folder"

share=$prefix/share
# Each icon is a PNG of its size: the signature, then the IHDR chunk's
# width and height.
python3 - "$share/icons/hicolor" <<'PY' || failed=1
import struct, sys
bad = 0
for size in (16, 22, 24, 32, 48, 64, 128, 256):
    png = "%s/%dx%d/apps/com.example.trevalon.png" % (sys.argv[1], size, size)
    try:
        data = open(png, "rb").read(24)
    except OSError:
        data = b""
    ok = data[:8] == b"\x89PNG\r\n\x1a\n" and data[12:16] == b"IHDR"
    if not ok or struct.unpack(">II", data[16:24]) != (size, size):
        print("FAIL: %s is not a %dx%d PNG" % (png, size, size))
        bad = 1
sys.exit(bad)
PY
svg=$share/icons/hicolor/scalable/apps/com.example.trevalon.svg
grep -q "<svg" "$svg" 2>/dev/null || fail "no scalable icon at $svg"

desktop=$share/applications/com.example.trevalon.desktop
metainfo=$share/metainfo/com.example.trevalon.metainfo.xml
[ -f "$desktop" ] || fail "no desktop entry"
[ -f "$metainfo" ] || fail "no metainfo"
grep -q 'release version="[0-9]' "$metainfo" || fail "the metainfo names no release"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
else
  echo "skipped: desktop-file-validate is not installed"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$metainfo" >"$work/out" 2>&1 || { cat "$work/out"; fail "appstreamcli validate"; }
else
  echo "skipped: appstreamcli is not installed"
fi

doc=$share/doc/trevalon
for f in README.md examples/example.py examples/60-trevalon-laser.rules; do
  [ -f "$doc/$f" ] || fail "no $doc/$f"
done
[ -x "$doc/examples/example.py" ] || fail "example.py is not executable"

[ $failed -eq 0 ] && echo "installed tree OK"
exit $failed
