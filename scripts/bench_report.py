#!/usr/bin/env python3
"""Measures the player against its baselines in one run and writes docs/performance.md.
Called by scripts/bench (which builds, makes the Wine prefix and the virtual display).

Figures, each the median of RUNS runs, each against a baseline measured in the same run:
  start-up to first audio (splash.time=0) against a minimal Win32 program that plays a tone at once;
  start-up to window shown against a minimal Win32 program that shows a window;
  CPU share while playing with the ticker and a vertical scroller running, and resident memory,
  against the minimal window program running beside it;
  RegionFromMask on 1024x768 masks against the naive per-pixel builder and a plain pixel scan;
  decoding speed of modules and of an Ogg Vorbis stream against xmp and oggdec.
"""
import argparse
import datetime
import os
import platform
import re
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

WINE = os.environ.get("WINELOADER", "/usr/lib/wine/wine64")


def log(text):
    print(text, file=sys.stderr, flush=True)


def median(values):
    return statistics.median(values)


def alsa_home(root, capture=None):
    """A HOME whose ALSA default device is a raw file sink, or (capture None) a device that cannot
    open, so that the player takes the audio library's silent device, which runs in real time."""
    home = os.path.join(root, "home-capture" if capture else "home-silent")
    os.makedirs(home, exist_ok=True)
    with open(os.path.join(home, ".asoundrc"), "w") as f:
        if capture:
            f.write('pcm.!default { type file; slave.pcm "null"; file "%s"; format "raw" }\n' % capture)
        else:
            f.write("pcm.!default { type hw; card 97 }\n")
    return home


def start(exe, cwd, home):
    env = dict(os.environ, HOME=home)
    return subprocess.Popen([WINE, exe], cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def stop(proc):
    if proc.poll() is None:
        proc.kill()
    proc.wait()


def first_sound(path, since, limit=30.0):
    """Seconds from `since` until the capture file holds a sample louder than silence."""
    offset = 0
    while time.time() - since < limit:
        if os.path.exists(path):
            with open(path, "rb") as f:
                f.seek(offset)
                data = f.read()
            usable = len(data) - len(data) % 2
            for i in range(0, usable, 2):
                if abs(int.from_bytes(data[i:i + 2], "little", signed=True)) > 1000:
                    return time.time() - since
            offset += usable
        time.sleep(0.003)
    return None


def window_visible(name):
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % name],
                         capture_output=True, text=True)
    return out.stdout.split()


def wait_window(name, since, limit=30.0):
    while time.time() - since < limit:
        if window_visible(name):
            return time.time() - since
        time.sleep(0.01)
    return None


def startup(dist, work, runs):
    disk = os.path.join(work, "disk")
    subprocess.run(["bash", os.path.join(ROOT, "tests", "e2e", "make_disk.sh"), disk, "0", "75", "5"], check=True)
    capture = os.path.join(work, "capture.raw")
    home = alsa_home(work, capture)
    silent = alsa_home(work)
    figures = {"audio_player": [], "audio_base": [], "window_player": [], "window_base": []}
    # One warm-up of each, so that both find the prefix and the page cache alike.
    for exe in ("Musicdisk.exe", "md_tone.exe", "md_baseline.exe"):
        p = start(os.path.join(dist, exe), disk, home)
        time.sleep(3)
        stop(p)
    for run in range(runs):
        for key, exe in (("audio_player", "Musicdisk.exe"), ("audio_base", "md_tone.exe")):
            if os.path.exists(capture):
                os.remove(capture)
            t0 = time.time()
            p = start(os.path.join(dist, exe), disk, home)
            took = first_sound(capture, t0)
            stop(p)
            if took is None:
                raise SystemExit("%s made no sound" % exe)
            figures[key].append(took * 1000)
        for key, exe, name in (("window_player", "Musicdisk.exe", "Musicdisk"),
                               ("window_base", "md_baseline.exe", "Baseline")):
            t0 = time.time()
            p = start(os.path.join(dist, exe), disk, silent)
            took = wait_window(name, t0)
            stop(p)
            if took is None:
                raise SystemExit("%s showed no window" % exe)
            figures[key].append(took * 1000)
        log("start-up run %d: %s" % (run + 1, {k: round(v[-1]) for k, v in figures.items()}))
    return figures


def ticks(pid):
    fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def rss(pid):
    for line in open("/proc/%d/status" % pid):
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    return 0


def playing(dist, work, runs, window_seconds):
    """The demo disk with its credits dialog open: the ticker and the credits' vertical scroller
    run while a song plays on the silent device; the minimal window program runs beside it."""
    disk = os.path.join(work, "demo")
    shutil.rmtree(disk, ignore_errors=True)
    shutil.copytree(os.path.join(ROOT, "demo"), disk)
    home = alsa_home(work)
    player = start(os.path.join(dist, "Musicdisk.exe"), disk, home)
    base = start(os.path.join(dist, "md_baseline.exe"), disk, home)
    try:
        if wait_window("Musicdisk", time.time(), 60) is None:
            raise SystemExit("the player showed no window")
        wid = window_visible("Musicdisk")[0]
        geometry = subprocess.run(["xdotool", "getwindowgeometry", wid], capture_output=True, text=True).stdout
        x, y = (int(v) for v in re.search(r"Position: (-?\d+),(-?\d+)", geometry).groups())
        # BUTTON_INFOCREDITS of the demo skin opens the credits, which scroll upwards for ever.
        subprocess.run(["xdotool", "mousemove", str(x + 348), str(y + 141), "click", "1"])
        subprocess.run(["xdotool", "mousemove", "5", "700"])
        time.sleep(5)
        if not window_visible("BUTTON_INFOCREDITS") and not subprocess.run(
                ["xdotool", "search", "--onlyvisible", "--name", "credits"], capture_output=True).stdout:
            log("note: the credits dialog was not found by name; measuring anyway")
        hz = os.sysconf("SC_CLK_TCK")
        cpu_player, cpu_base, mem_player, mem_base = [], [], [], []
        for run in range(runs):
            p0, b0, t0 = ticks(player.pid), ticks(base.pid), time.time()
            time.sleep(window_seconds)
            p1, b1, t1 = ticks(player.pid), ticks(base.pid), time.time()
            cpu_player.append(100.0 * (p1 - p0) / hz / (t1 - t0))
            cpu_base.append(100.0 * (b1 - b0) / hz / (t1 - t0))
            mem_player.append(rss(player.pid))
            mem_base.append(rss(base.pid))
            log("playing run %d: CPU %.2f%% / %.2f%%, VmRSS %d / %d KiB"
                % (run + 1, cpu_player[-1], cpu_base[-1], mem_player[-1], mem_base[-1]))
    finally:
        stop(player)
        stop(base)
    return {"cpu_player": cpu_player, "cpu_base": cpu_base, "mem_player": mem_player, "mem_base": mem_base}


def regions(win_build, runs):
    bench = find(win_build, "window_region_bench.exe")
    rows = {}
    for run in range(runs):
        out = subprocess.run([WINE, bench], capture_output=True, text=True, cwd=os.path.dirname(bench)).stdout
        mask = None
        for line in out.splitlines():
            m = re.match(r"(\S.*?): (\d+)x(\d+), (\d+) runs", line)
            if m:
                mask = m.group(1)
                rows.setdefault(mask, {"ours": [], "scan": [], "naive": [], "ours_band": [], "rows": 0,
                                       "runs": m.group(4)})
            m = re.search(r"RegionFromMask\s+([\d.]+) ms", line)
            if m and mask and "top" not in line:
                rows[mask]["ours"].append(float(m.group(1)))
            m = re.search(r"plain scan of the DIB\s+([\d.]+) ms", line)
            if m and mask:
                rows[mask]["scan"].append(float(m.group(1)))
            m = re.search(r"top (\d+) rows: naive\s+([\d.]+) ms, RegionFromMask\s+([\d.]+) ms", line)
            if m and mask:
                rows[mask]["rows"] = int(m.group(1))
                rows[mask]["naive"].append(float(m.group(2)))
                rows[mask]["ours_band"].append(float(m.group(3)))
        log("region run %d done" % (run + 1))
    return rows


def child_cpu():
    r = resource.getrusage(resource.RUSAGE_CHILDREN)
    return r.ru_utime + r.ru_stime


def decoding(dist, win_build, deps, work, runs, passes):
    bench = find(win_build, "audiolib_bench.exe")
    folder = os.path.join(work, "decode")
    os.makedirs(folder, exist_ok=True)
    shutil.copy(bench, folder)
    shutil.copy(os.path.join(dist, "BASS.dll"), folder)
    modules = [os.path.join(deps, "test.it")] + sorted(
        os.path.join(ROOT, "demo", "music", m) for m in os.listdir(os.path.join(ROOT, "demo", "music")) if m.endswith(".mod"))
    for m in modules:
        shutil.copy(m, folder)
    modules = [os.path.basename(m) for m in modules]
    wav = os.path.join(folder, "music.wav")
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", "30", "sine", "200-2000",
                    "pinknoise", "vol", "0.4"], check=True)
    subprocess.run(["oggenc", "-Q", "-q", "4", "-o", os.path.join(folder, "stream.ogg"), wav], check=True)
    env = dict(os.environ, WINEDEBUG="-all")

    def ours(name, count):
        out = subprocess.run([WINE, "audiolib_bench.exe", "decode", name, str(count)], cwd=folder, env=env,
                             capture_output=True, text=True).stdout.split()
        return float(out[1]), float(out[2])

    def reference(cmd):
        before = child_cpu()
        subprocess.run(cmd, cwd=folder, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        cpu = child_cpu() - before
        return (os.path.getsize(os.path.join(folder, "ref.wav")) - 44) / 176400.0, cpu

    speeds = {"modules": [], "xmp": [], "ogg": [], "oggdec": []}
    for run in range(runs):
        audio = cpu = ref_audio = ref_cpu = 0.0
        for m in modules:
            a, c = ours(m, passes)
            audio += a
            cpu += c
            for _ in range(passes):
                a, c = reference(["xmp", "-q", "--nocmd", "--norc", "-i", "linear", "-o", "ref.wav", m])
                ref_audio += a
                ref_cpu += c
        speeds["modules"].append(audio / cpu)
        speeds["xmp"].append(ref_audio / ref_cpu)
        a, c = ours("stream.ogg", passes)
        speeds["ogg"].append(a / c)
        ref_audio = ref_cpu = 0.0
        for _ in range(passes):
            a, c = reference(["oggdec", "-Q", "-o", "ref.wav", "stream.ogg"])
            ref_audio += a
            ref_cpu += c
        speeds["oggdec"].append(ref_audio / ref_cpu)
        log("decode run %d: modules %.0f vs %.0f, ogg %.0f vs %.0f (audio s per CPU s)"
            % (run + 1, speeds["modules"][-1], speeds["xmp"][-1], speeds["ogg"][-1], speeds["oggdec"][-1]))
    return speeds, len(modules)


def find(root, name):
    for folder, _, files in os.walk(root):
        if name in files:
            return os.path.join(folder, name)
    raise SystemExit("%s not built in %s" % (name, root))


def machine():
    model = "unknown"
    for line in open("/proc/cpuinfo"):
        if line.startswith("model name"):
            model = line.split(":", 1)[1].strip()
            break
    memory = 0
    for line in open("/proc/meminfo"):
        if line.startswith("MemTotal:"):
            memory = int(line.split()[1]) // 1024
    wine = subprocess.run([WINE, "--version"], capture_output=True, text=True).stdout.strip()
    return model, os.cpu_count(), memory, wine


def ratio(a, b):
    return "%.2f" % (a / b) if b else "n/a"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dist", required=True)
    parser.add_argument("--win-build", required=True)
    parser.add_argument("--deps", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--window-seconds", type=float, default=8.0)
    parser.add_argument("--passes", type=int, default=3)
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="md-bench-")
    load_before = os.getloadavg()
    began = datetime.datetime.now()
    try:
        up = startup(args.dist, work, args.runs)
        play = playing(args.dist, work, args.runs, args.window_seconds)
        region = regions(args.win_build, args.runs)
        speeds, module_count = decoding(args.dist, args.win_build, args.deps, work, args.runs, args.passes)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    load_after = os.getloadavg()
    model, cores, memory, wine = machine()
    m = {k: median(v) for k, v in up.items()}
    p = {k: median(v) for k, v in play.items()}
    s = {k: median(v) for k, v in speeds.items()}
    lines = [
        "# Performance",
        "",
        "Written by `scripts/bench` on %s (%.0f minutes). Every figure is the median of %d runs and"
        % (began.strftime("%Y-%m-%d %H:%M"), (datetime.datetime.now() - began).total_seconds() / 60, args.runs),
        "stands beside a baseline measured in the same run; the ratio is ours / baseline.",
        "",
        "## Machine",
        "",
        "- CPU: %s, %d cores (`nproc`)" % (model, cores),
        "- Memory: %d MiB" % memory,
        "- System: %s %s; %s, 64-bit build (`build/dist64`) under `/usr/lib/wine/wine64`" % (
            platform.system(), platform.release(), wine),
        "- Load average (1/5/15 min) at the start %.1f/%.1f/%.1f, at the end %.1f/%.1f/%.1f: the machine is"
        % (load_before + load_after),
        "  shared, so absolute times vary between runs; the ratios against baselines run alongside vary less.",
        "",
        "## Figures",
        "",
        "| Figure | Ours | Baseline | Ratio |",
        "|---|---|---|---|",
        "| Start-up to first audio, `splash.time=0` (ms) | %.0f | %.0f (minimal program playing a tone) | %s |"
        % (m["audio_player"], m["audio_base"], ratio(m["audio_player"], m["audio_base"])),
        "| Start-up to window shown (ms) | %.0f | %.0f (minimal program showing a window) | %s |"
        % (m["window_player"], m["window_base"], ratio(m["window_player"], m["window_base"])),
        "| CPU share while playing, ticker and vertical scroller running (%% of one core) | %.2f | %.2f (minimal window program repainting every 100 ms) | %s |"
        % (p["cpu_player"], p["cpu_base"], ratio(p["cpu_player"], p["cpu_base"])),
        "| Resident memory while playing (VmRSS, KiB) | %.0f | %.0f (the same minimal program) | %s |"
        % (p["mem_player"], p["mem_base"], ratio(p["mem_player"], p["mem_base"])),
    ]
    for name, r in region.items():
        ours, scan = median(r["ours"]), median(r["scan"])
        naive, band = median(r["naive"]), median(r["ours_band"])
        lines.append("| `RegionFromMask`, %s 1024x768, %s runs (ms) | %.2f | %.2f (plain scan of the same pixels) | %s |"
                     % (name, r["runs"], ours, scan, ratio(ours, scan)))
        lines.append("| `RegionFromMask`, %s, top %d rows (ms) | %.2f | %.2f (naive: GetPixel and CombineRgn per run) | %s |"
                     % (name, r["rows"], band, naive, ratio(band, naive)))
    lines += [
        "| Module decoding, %d modules (s of audio per CPU s) | %.0f | %.0f (xmp, linear interpolation) | %s |"
        % (module_count, s["modules"], s["xmp"], ratio(s["modules"], s["xmp"])),
        "| Ogg Vorbis decoding, 30 s stream (s of audio per CPU s) | %.0f | %.0f (oggdec) | %s |"
        % (s["ogg"], s["oggdec"], ratio(s["ogg"], s["oggdec"])),
        "",
        "## How each figure is measured",
        "",
        "- Start-up to first audio: from starting the program until the first sample louder than silence",
        "  reaches ALSA's raw file sink (the default device of that run), polled every few milliseconds;",
        "  disk from `tests/e2e/make_disk.sh` with `splash.time=0`. Baseline `md_tone.exe` opens the",
        "  default wave output at once and plays a tone.",
        "- Start-up to window shown: until xdotool finds the visible window (`Musicdisk`, `Baseline`).",
        "- CPU share and memory: the demo disk with its credits dialog open (the main window's ticker and",
        "  the credits' upward scroller both move) while a song plays on the audio library's silent",
        "  device (the run's default device cannot open; the silent device mixes in real time like a",
        "  sound card). Utime + stime from `/proc/<pid>/stat` over %g s windows; VmRSS at each window's end."
        % args.window_seconds,
        "  Baseline `md_baseline.exe` runs beside it. Lower ratios are better for these.",
        "- Regions: `window_region_bench.exe` (tests/window/RegionBench.cpp), best of its inner",
        "  repetitions, run %d times. The naive builder is only timed on a top band of the photo-like" % args.runs,
        "  mask, which it takes seconds for; ours is timed on the same band.",
        "- Decoding: `audiolib_bench.exe decode` renders every module and the stream %d times; xmp and"
        % args.passes,
        "  oggdec render the same files to WAV (native programs, not under Wine). Higher is better.",
        "",
        "Raw medians: %s" % {k: round(v, 2) for k, v in {**m, **p, **s}.items()},
        "",
    ]
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    with open(args.out, "w") as f:
        f.write("\n".join(lines))
    print("\n".join(lines))


ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

if __name__ == "__main__":
    main()
