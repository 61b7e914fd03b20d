# Shared settings for the project's scripts. Source it; do not run it.
# BUILD_DIR may be set to keep a separate build tree (default: build/ in the project).
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
case $BUILD_DIR in /*) ;; *) BUILD_DIR=$ROOT/$BUILD_DIR ;; esac
export BUILD_DIR
# Two Windows builds of the same source: win32 is the shipped 32-bit program (dist/); win is the
# 64-bit build that the tests run, since this machine's kernel cannot start 32-bit programs and so
# 32-bit Wine fails here ("Exec format error") while 64-bit Wine runs.
WIN32_BUILD=$BUILD_DIR/win32
WIN_BUILD=$BUILD_DIR/win
NATIVE_BUILD=$BUILD_DIR/native
DIST=$BUILD_DIR/dist
DIST64=$BUILD_DIR/dist64
DEPS=$BUILD_DIR/deps
export WINEPREFIX=$BUILD_DIR/wineprefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
JOBS=${JOBS:-$(nproc)}
# 64-bit Wine's loader, called directly: Debian's wine wrapper prefers the 32-bit loader.
WINE=/usr/lib/wine/wine64
export WINELOADER=$WINE
# Whether 32-bit Windows programs run here (then the shipped build can be run too).
win32_runs() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

log() { printf '== %s\n' "$*" >&2; }

# Creates the Wine prefix once (about 12 s) and keeps a wine server for this prefix running.
wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "creating Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    "$WINE" wineboot.exe -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  wineserver -p >/dev/null 2>&1 || true
}

# Starts Wine's background services (desktop, devices) inside the current display and detached
# from our output. Started without a display, the desktop would have no graphics driver and every
# later window would fail; started by the first test, they would inherit ctest's pipes and keep it
# waiting after the tests have ended.
start_wine_services() {
  "$WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

# Runs a command inside a private virtual display unless one is given already.
with_display() {
  if [ -n "${MD_DISPLAY_READY:-}" ]; then "$@"; return; fi
  MD_DISPLAY_READY=1 xvfb-run -a -s "-screen 0 1024x768x24" "$@"
}
