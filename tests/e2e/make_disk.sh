#!/usr/bin/env bash
# make_disk.sh DISK SPLASH_TIME SECONDS1 SECONDS2 [stepped]: writes a test musicdisk into DISK.
# Main skin 300 x 150: background 203040, BUTTON_RW 4080c0 at (10,20), BUTTON_FF c08040 at
# (50,20), BUTTON_PLAY c000c0 at (100,20), BUTTON_PAUSE 00c0c0 at (150,20), BUTTON_NEXT c0c000 at
# (200,20), each 40 x 30; the three time texts and a ticker. Splash 200 x 100 of 806040.
# Song 01: 440 Hz, song 02: 880 Hz, of the given lengths. "stepped" makes a disk whose sound tells
# where a song is: song 01 steps up 20 Hz every 2 seconds from 300 Hz (second s of the song is
# 300 + 20 * (s / 2) Hz), song 02 is an MP3 stream of 1000 Hz, and a 200 Hz splash music plays
# from the start.
set -euo pipefail
DISK=$1
rm -rf "$DISK"; mkdir -p "$DISK/gui" "$DISK/music"
convert -size 300x150 xc:'#203040' \
  -fill '#4080c0' -draw 'rectangle 10,20 49,49' \
  -fill '#c08040' -draw 'rectangle 50,20 89,49' \
  -fill '#c000c0' -draw 'rectangle 100,20 139,49' \
  -fill '#00c0c0' -draw 'rectangle 150,20 189,49' \
  -fill '#c0c000' -draw 'rectangle 200,20 239,49' BMP3:"$DISK/gui/main.bmp"
convert -size 200x100 xc:'#806040' BMP3:"$DISK/gui/splash.bmp"
cat > "$DISK/gui/skin.ini" <<'INI'
[SCREEN]
Main=main.bmp
[BUTTONINFO]
1=BUTTON_PLAY,100,20,40,30,Play
2=BUTTON_PAUSE,150,20,40,30,Pause
3=BUTTON_NEXT,200,20,40,30,Next
4=BUTTON_RW,10,20,40,30,Back 10 seconds
5=BUTTON_FF,50,20,40,30,On 10 seconds
[TEXTINFO]
1=TEXT_SONGNUM,Tahoma,-,-,14,16777215,20,80,40,18,00,Song
2=TEXT_ACTTIME,Tahoma,-,-,14,16777215,70,80,50,18,00:00,Elapsed
3=TEXT_TOTALTIME,Tahoma,-,-,14,16777215,130,80,50,18,00:00,Total
[HSCROLLINFO]
1=TEXT_SCROLLER,Tahoma,TRUE,FALSE,16,65535,20,110,260,30,Description
INI
printf '[SCREEN]\r\nMain=splash.bmp\r\n' > "$DISK/gui/splash.ini"
if [ "${5:-}" = stepped ]; then
  steps=()
  for ((k = 0; k < ($3 + 1) / 2; k++)); do
    steps+=("$DISK/step$k.wav")
    sox -q -n -r 44100 -c 2 -b 16 "$DISK/step$k.wav" synth 2 sine $((300 + 20 * k)) vol 0.5
  done
  sox -q "${steps[@]}" "$DISK/music/01.wav" trim 0 "$3"
  rm "${steps[@]}"
  # Song 02 is an MP3 stream (its LAME tag makes the length exact).
  sox -q -n -r 44100 -c 2 -b 16 "$DISK/02.wav" synth "$4" sine 1000 vol 0.5
  lame --quiet -b 128 "$DISK/02.wav" "$DISK/music/02.mp3"
  rm "$DISK/02.wav"
  song2=02.mp3
  sox -q -n -r 44100 -c 2 -b 16 "$DISK/music/splash.wav" synth 60 sine 200 vol 0.5
  splash_music='splash.music.file=music\\splash.wav\r\n'
else
  sox -q -n -r 44100 -c 2 -b 16 "$DISK/music/01.wav" synth "$3" sine 440 vol 0.5
  sox -q -n -r 44100 -c 2 -b 16 "$DISK/music/02.wav" synth "$4" sine 880 vol 0.5
  song2=02.wav
  splash_music=
fi
printf "${splash_music}"'splash.time=%s\r\nmusic.file.01=music\\01.wav\r\nmusic.desc.01=A tone of 440 Hz, scrolling by in the ticker\r\nmusic.file.02=music\\%s\r\nmusic.desc.02=A tone of 880 Hz\r\n' \
  "$2" "$song2" > "$DISK/music/config.dat"
