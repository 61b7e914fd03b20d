#!/usr/bin/env bash
# A disk in any folder
# With the ANSI code page pinned to 1252, the test disk of make_disk.sh plays with its skin from a
# folder named in Greek letters, which that code page cannot write, and from a folder whose full
# Windows path is 240 characters long: the main window shows the skin's pixels, song 01 loads (its
# length shows) and plays (the elapsed time moves, its tone is heard), and Escape ends the player.
# mdcheck finds both disks by the folder names given on its command line.
set -euo pipefail
# Wine takes the ANSI code page from the locale: C.UTF-8 gives 1252, and UTF-8 file names.
export LC_ALL=C.UTF-8
source "$(dirname "$0")/e2e_lib.sh"

# dos PATH: the Windows name Wine gives a path of the machine.
dos() { printf 'Z:%s' "${1//\//\\}"; }

# plays DISK: the player on DISK shows its skin and plays song 01.
plays() {
  local disk=$1 what=$2
  start_player "$disk"
  main_up() { [ "$(wintext Musicdisk | cut -d' ' -f1)" = 1 ]; }
  # 18.6 s seen under qemu-i386 beside a native build.
  wait_for 40 main_up || fail "$what: the main window did not show"
  read -r _ MX MY _ _ < <(wintext Musicdisk)
  xdotool mousemove 0 0
  sleep 0.5
  shot "$what"
  for probe in "5 5 203040" "30 35 4080c0" "120 35 c000c0" "220 35 c0c000"; do
    set -- $probe
    got=$(pixel "$SHOT" $((MX + $1)) $((MY + $2)))
    [ "$got" = "$3" ] || fail "$what: main window pixel ($1,$2) is $got, not $3"
  done
  pass "$what: the main window shows its skin"
  [ "$(wintext Musicdisk TEXT_TOTALTIME)" = 01:00 ] || fail "$what: total time is $(wintext Musicdisk TEXT_TOTALTIME)"
  e1=$(wintext Musicdisk TEXT_ACTTIME); sleep 2.2; e2=$(wintext Musicdisk TEXT_ACTTIME)
  [[ "$e2" > "$e1" ]] || fail "$what: elapsed time did not advance: $e1 -> $e2"
  pass "$what: song 01 plays (total 01:00, elapsed $e1 -> $e2)"
  escape_ends_player
}

# checks DISK: mdcheck, given the folder, reads the disk there (whatever it finds wrong with it).
checks() {
  local disk=$1 what=$2 out code=0
  out=$(cd "$WORK" && "$WINE" "$DIST/mdcheck.exe" "$(dos "$disk")" 2>&1 | tr -d '\r') || code=$?
  [ "$code" -ne 3 ] || fail "$what: mdcheck could not open the folder: $out"
  ! grep -qE 'file-unreadable|skin-missing|cannot be opened' <<<"$out" || fail "$what: mdcheck did not find the disk: $out"
  pass "$what: mdcheck reads the disk in its folder"
}

GREEK="$WORK/Μουσικός δίσκος"
bash "$E2E_DIR/make_disk.sh" "$GREEK" 500 60 20
checks "$GREEK" "Greek folder"
plays "$GREEK" "Greek folder"

# Folders of letters until the Windows path of the disk is 240 characters long.
LONG=$WORK/long
while left=$((240 - ${#LONG} - 2)); [ $left -gt 0 ]; do
  [ $left -ge 2 ] || fail "cannot pad the path to 240 characters from $LONG"
  n=$((left - 1))
  [ $n -le 100 ] || n=100
  [ $((left - 1 - n)) -ne 1 ] || n=$((n - 1))
  LONG=$LONG/$(head -c "$n" /dev/zero | tr '\0' 'f')
done
[ ${#LONG} -eq 238 ] || fail "the long folder is $((${#LONG} + 2)) characters long, not 240"
bash "$E2E_DIR/make_disk.sh" "$LONG" 500 60 20
checks "$LONG" "240-character folder"
plays "$LONG" "240-character folder"

verdict heard "$SOUND" 440 3.0 || fail "song 01 was not heard from both disks"
pass "song 01 heard from both disks"
echo "e2e folders: all checks passed"
