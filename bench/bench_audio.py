#!/usr/bin/env python3
"""Figures of the audio library against Debian's reference players, run by scripts/bench-audio
inside its work folder: bench_audio.py WORK WINE PASSES PLAY_SECONDS MODULE..."""
import os, resource, subprocess, sys
work, wine, passes, play_seconds = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
modules = sys.argv[5:]
env = dict(os.environ, WINEDEBUG="-all")

def child_cpu():
    r = resource.getrusage(resource.RUSAGE_CHILDREN)
    return r.ru_utime + r.ru_stime

def ours(args, home=None):
    e = dict(env)
    if home: e["HOME"] = home
    # Output through a file: Wine's helper processes inherit pipes and would hold them open.
    path = os.path.join(work, "bench.out")
    with open(path, "w") as out, open(os.devnull, "w") as err:
        code = subprocess.run([wine, "audiolib_bench.exe"] + args, cwd=work, env=e, stdout=out, stderr=err).returncode
    text = open(path).read()
    fields = text.split()
    if code != 0 or len(fields) < 3:
        sys.exit("audiolib_bench %s failed (%d): %s" % (args, code, text))
    return tuple(float(v) for v in fields[1:])

def reference(cmd_for, files, wav):
    audio = cpu = 0.0
    for f in files:
        for _ in range(passes):
            before = child_cpu()
            subprocess.run(cmd_for(f), cwd=work, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            cpu += child_cpu() - before
            audio += (os.path.getsize(os.path.join(work, wav)) - 44) / 176400.0
    return audio, cpu

def row(name, ours_fig, ref_fig, ref_name):
    o = ours_fig[0] / ours_fig[1]
    r = ref_fig[0] / ref_fig[1]
    print("%-8s ours %7.1f s/CPU s (%.1f s audio in %.3f CPU s) | %-7s %7.1f s/CPU s | ours/ref %.2f"
          % (name, o, ours_fig[0], ours_fig[1], ref_name, r, o / r))

print("== decoding speed (%d passes per file)" % passes)
mod = [0.0, 0.0]
for m in modules:
    a, c = ours(["decode", m, str(passes)])
    mod[0] += a; mod[1] += c
ref = reference(lambda f: ["xmp", "-q", "--nocmd", "--norc", "-i", "linear", "-o", "ref.wav", f], modules, "ref.wav")
row("modules", mod, ref, "xmp")
ogg = ours(["decode", "stream.ogg", str(max(1, passes // 4))])
ref = reference(lambda f: ["oggdec", "-Q", "-o", "ref.wav", f], ["stream.ogg"], "ref.wav")
ref = (ref[0] / passes * max(1, passes // 4), ref[1] / passes * max(1, passes // 4))
row("ogg", ogg, ref, "oggdec")
quarter = max(1, passes // 4)
mp3 = ours(["decode", "stream.mp3", str(quarter)])
ref = reference(lambda f: ["mpg123", "-q", "-w", "ref.wav", f], ["stream.mp3"], "ref.wav")
ref = (ref[0] / passes * quarter, ref[1] / passes * quarter)
row("mp3", mp3, ref, "mpg123")

print("== CPU share while playing in real time (%s s each, one core = 100%%)" % play_seconds)
home = os.path.join(work, "home"); os.makedirs(home, exist_ok=True)
with open(os.path.join(home, ".asoundrc"), "w") as f:
    f.write('pcm.!default { type file; slave.pcm "null"; file "%s/out.raw"; format "raw" }\n' % work)
idle = ours(["idle", play_seconds])
song = modules[1] if len(modules) > 1 else modules[0]  # a demo song: longer than libxmp's test module
print("idle Win32 program           %5.2f%%" % (100 * idle[1] / idle[0]))
for label, args, h in [("module, waveOut (ALSA file)", ["play", song, play_seconds, "-1"], home),
                       ("ogg, waveOut (ALSA file)", ["play", "stream.ogg", play_seconds, "-1"], home),
                       ("module, silent device", ["play", song, play_seconds, "-2"], None),
                       ("ogg, silent device", ["play", "stream.ogg", play_seconds, "-2"], None)]:
    wall, cpu, audio = ours(args, h)
    # ALSA's file sink takes sound as fast as it comes, so Wine's device may run ahead of real time:
    # the last figure is the share for one second of sound, as a sound card would pace it.
    print("%-28s %5.2f%%  (idle subtracted: %5.2f%%; %.2f s of sound in %.2f s: %5.2f%% per second of sound)"
          % (label, 100 * cpu / wall, 100 * (cpu / wall - idle[1] / idle[0]), audio, wall,
             100 * (cpu - idle[1] * wall / idle[0]) / audio))
