# Wine without what no run of ours needs: Mono and Gecko, menu entries, and the game-controller and
# USB drivers, whose process polls its devices all the time (several per cent of a core under
# emulation). Sourced by scripts/lib.sh and by the test runners that set up Wine themselves.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe,winebus.sys,wineusb.sys,winehid.sys=d"
