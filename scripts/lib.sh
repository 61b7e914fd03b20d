# Shared settings for the project's scripts. Source it; do not run it.
# BUILD_DIR may be set to keep a separate build tree (default: build/ in the project).
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
case $BUILD_DIR in /*) ;; *) BUILD_DIR=$ROOT/$BUILD_DIR ;; esac
export BUILD_DIR
# Two Windows builds of the same source: win32 is the shipped 32-bit program (dist/) with its own
# test programs; win is the same code built for x86_64 (dist64/), whose tests run at native speed
# where 32-bit programs only run under emulation (see scripts/setup-wine32).
WIN32_BUILD=$BUILD_DIR/win32
WIN_BUILD=$BUILD_DIR/win
NATIVE_BUILD=$BUILD_DIR/native
DIST=$BUILD_DIR/dist
DIST64=$BUILD_DIR/dist64
DEPS=$BUILD_DIR/deps
export WINEPREFIX=$BUILD_DIR/wineprefix
export WINEDEBUG=${WINEDEBUG:--all}
source "$ROOT/scripts/wine-env.sh"
JOBS=${JOBS:-$(nproc)}
# 64-bit Wine's loader, called directly: Debian's wine wrapper prefers the 32-bit loader.
export WINE=/usr/lib/wine/wine64
export WINELOADER=$WINE
# The runner of 32-bit programs made by scripts/setup-wine32: bin/wine and bin/wineserver, natively
# or under qemu-i386, with a win32 prefix of its own.
WINE32_DIR=$BUILD_DIR/wine32
WINE32=$WINE32_DIR/bin/wine
WINEPREFIX32=$BUILD_DIR/wineprefix32
# Whether the shipped 32-bit programs can be run here.
win32_runs() { "$WINE32" --version >/dev/null 2>&1; }
# How they run: "native" or "qemu".
win32_mode() { cat "$WINE32_DIR/mode" 2>/dev/null || echo none; }

log() { printf '== %s\n' "$*" >&2; }

# Creates the Wine prefix once (about 12 s, or a copy of MD_WINEPREFIX_TEMPLATE) and keeps a wine
# server for this prefix running.
wine_prefix() {
  [ -f "$WINEPREFIX/system.reg" ] || log "creating Wine prefix $WINEPREFIX"
  "$ROOT/scripts/new-prefix" "$WINEPREFIX"
  wineserver -p >/dev/null 2>&1 || true
}

# Starts Wine's background services (desktop, devices) inside the current display and detached
# from our output. Started without a display, the desktop would have no graphics driver and every
# later window would fail; started by the first test, they would inherit ctest's pipes and keep it
# waiting after the tests have ended.
start_wine_services() {
  "$WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

# Tells the Wine prefix in use that its display has no window manager, as the unit tests' display
# (with_display) has none: Wine then waits for no manager at each window it hides (up to 2 s a window).
no_window_manager() {
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
}

# Runs a command inside a private virtual display without a window manager (the unit tests' and
# benchmarks' display; end-to-end runs have a desktop of their own, tests/e2e/run).
with_display() { xvfb-run -a -s "-screen 0 1024x768x24" "$@"; }

# Runs a command with the 32-bit runner in place of Wine: its wine and wineserver first on PATH,
# WINE naming it, the win32 prefix (created once) and a server kept running for it.
with_wine32() {
  (
    export PATH=$WINE32_DIR/bin:$PATH WINE=$WINE32 WINELOADER=$WINE32
    # Prefixes are copies of one made once: wineboot takes half a minute under emulation.
    export MD_WINEPREFIX_TEMPLATE=$BUILD_DIR/wineprefix32-template
    if [ ! -f "$MD_WINEPREFIX_TEMPLATE/system.reg" ]; then
      log "creating the 32-bit Wine prefix"
      WINEARCH=win32 MD_WINEPREFIX_TEMPLATE= "$ROOT/scripts/new-prefix" "$MD_WINEPREFIX_TEMPLATE"
    fi
    export WINEPREFIX=${MD_WINEPREFIX32:-$WINEPREFIX32}
    "$ROOT/scripts/new-prefix" "$WINEPREFIX"
    wineserver -p >/dev/null 2>&1 </dev/null || true
    [ -z "${DISPLAY:-}" ] || start_wine_services
    "$@"
  )
}
