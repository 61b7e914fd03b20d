"""The end-to-end checks of verdicts.py on made-up runs: each must pass a sound run and fail the
fault it is there for."""
import math
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import verdicts  # noqa: E402

RATE = verdicts.RATE

# A sound run of player.sh as stretches (start, end, Hz): the splash music, song 01 stepping 20 Hz
# every 2 s, paused 2 s, 10 s forward, 10 s back, BUTTON_NEXT to song 02 (12 s), song 01 again.
MARKS = {"pause": 5.95, "play": 7.95, "forward": 12.0, "back": 15.0, "next": 19.0}
SPLASH = [(0.3, 1.3, 200), (1.35, 3.35, 300), (3.35, 5.35, 320)]
PAUSE = [(5.35, 6.0, 340), (6.0, 8.0, 0), (8.0, 9.35, 340), (9.35, 11.35, 360), (11.35, 12.05, 380)]
FORWARD = [(12.05, 14.05, 480), (14.05, 15.05, 500)]
BACK = [(15.05, 17.05, 400), (17.05, 19.05, 420)]
NEXT = [(19.1, 31.1, 1000), (31.2, 33.2, 300)]


def run(splash=SPLASH, pause=PAUSE, forward=FORWARD, back=BACK, next_=NEXT):
    return splash + pause + forward + back + next_


def sine(seconds, hz, amplitude=16000):
    return [int(amplitude * math.sin(2 * math.pi * hz * i / RATE)) for i in range(int(seconds * RATE))]


class Verdicts(unittest.TestCase):
    def test_player_heard(self):
        cases = [
            ("a sound run", run(), 0),
            ("pause let go after 0.5 s of the 2 s held",
             run(pause=[(5.35, 6.0, 340), (6.0, 6.5, 0)] + PAUSE[2:]), 1),
            ("play resumes two steps on", run(pause=PAUSE[:2] + [(8.0, 9.35, 380)] + PAUSE[3:]), 1),
            ("seek forward lands 6 s short", run(forward=[(12.05, 14.05, 420), (14.05, 15.05, 440)]), 1),
            ("seek back does nothing",
             run(back=[(15.05, 16.05, 500), (16.05, 18.05, 520), (18.05, 19.05, 540)]), 1),
            ("song 02 cut off after 8 s", run(next_=[(19.1, 27.1, 1000), (27.2, 29.2, 300)]), 1),
            ("song 02 followed by song 01 from its middle", run(next_=[(19.1, 31.1, 1000), (31.2, 33.2, 400)]), 1),
            ("song 02 whole across 0.6 s the server left silent",
             run(next_=[(19.1, 25.1, 1000), (25.1, 25.7, 0), (25.7, 31.7, 1000), (31.8, 33.8, 300)]), 0),
            ("song 02 broken by 0.6 s of silence and 0.6 s short",
             run(next_=[(19.1, 25.1, 1000), (25.1, 25.7, 0), (25.7, 31.1, 1000), (31.2, 33.2, 300)]), 1),
            ("no splash music", run(splash=SPLASH[1:]), 1),
            ("the step a seek cut short read 10 Hz high",
             run(forward=[(12.05, 14.05, 480), (14.05, 14.95, 510)], back=[(15.05, 17.05, 420)] + BACK[1:]), 0),
        ]
        for name, segs, failed in cases:
            with self.subTest(name):
                self.assertEqual(len(verdicts.player_heard(segs, MARKS, 1000)) > 0, failed > 0)

    def test_server_silence_inside_a_step(self):
        # The step a seek landed on sounded 2.5 s, 0.5 s of it the sound server's zeros: no time of
        # the song, so the seek landed where it should.
        segs = run(forward=[(12.05, 14.55, 480), (14.55, 15.05, 500)])
        zeros = lambda a, b: 0.5 if a <= 13.0 < b else 0.0  # noqa: E731
        self.assertEqual(verdicts.player_heard(segs, MARKS, 1000, zeros), [])
        self.assertNotEqual(verdicts.player_heard(segs, MARKS, 1000, lambda a, b: 0.0), [])

    def test_quiet_from(self):
        tone = sine(0.5, 300)
        cases = [
            ("silent from 100 ms", tone[:4410] + [0] * 17640, 4410),
            ("a 20 ms server gap, the song on, silent from 300 ms",
             tone[:4410] + [0] * 882 + tone[5292:13230] + [0] * 8820, 13230),
            ("sound until the next click", tone[:22050], None),
        ]
        for name, samples, began in cases:
            with self.subTest(name):
                self.assertEqual(verdicts.quiet_from(samples, 0, len(samples)), began)

    def test_latency_failures(self):
        fast = {"pause": 18, "play": 40, "stop": 47, "back": 25, "next": 29, "forward": 31}
        loaded = {"pause": 115, "play": 120, "stop": 85, "back": 108, "next": 212, "forward": 173}
        cases = [
            ("every click at once", fast, 0),
            ("one click late on a loaded machine", dict(fast, next=655), 0),
            ("every click late on a busy machine", loaded, 0),
            ("the window slow on every click", {n: 400 for n in fast}, 1),
            ("a queue not dropped: seeks and Next late", dict(fast, back=290, next=300, forward=280), 1),
            ("the same on a busy machine", dict(loaded, back=300, next=330, forward=310), 1),
            ("one click heard after more than a second", dict(fast, next=1400), 1),
        ]
        for name, latencies, failed in cases:
            with self.subTest(name):
                self.assertEqual(len(verdicts.latency_failures(latencies)), failed)
        late = dict(fast, next=4030)
        self.assertEqual(verdicts.latency_failures(late, dict(fast, next=50)), [],
                         "the old song stopped at once, then the sound server was silent")
        self.assertEqual(len(verdicts.latency_failures(late, late)), 1, "the old song went on")

    def test_own_delays(self):
        cases = [
            ("nothing told", "", 0),
            ("quick enough", 'OutputDebugStringA "musicdisk: BUTTON_NEXT took 300 ms\\n"\n'
             'OutputDebugStringA "audio: sound queued 120 ms after it was asked for\\n"\n', 0),
            ("a control held the window up", 'OutputDebugStringA "musicdisk: BUTTON_FF took 4000 ms\\n"\n', 1),
            ("sound reached the device late", 'OutputDebugStringA "audio: sound queued 1500 ms after it was asked for\\n"\n', 1),
            ("a click held up by a stalled sound server",
             'OutputDebugStringA "audio: the sound system took 3990 ms over a reset\\n"\n'
             'OutputDebugStringA "musicdisk: BUTTON_FF took 4010 ms\\n"\n', 0),
            ("a wait told before an earlier click excuses only that one",
             'OutputDebugStringA "audio: the sound system took 3990 ms over a reset\\n"\n'
             'OutputDebugStringA "musicdisk: BUTTON_FF took 4010 ms\\n"\n'
             'OutputDebugStringA "musicdisk: BUTTON_NEXT took 4000 ms\\n"\n', 1),
        ]
        for name, log, failed in cases:
            with self.subTest(name):
                self.assertEqual(len(verdicts.own_delays(log)), failed)

    def test_left_at(self):
        old, new = sine(2.0, 320), sine(1.0, 420)
        cases = [
            ("the old song until the new tone", old[:RATE] + new, RATE),
            ("silent from 50 ms to the new tone at 4 s", old[:2205] + [0] * (4 * RATE - 2205) + new, 2205),
            ("a 20 ms server gap before the new tone", old[:RATE] + [0] * 882 + new, RATE + 882),
            ("a gap in the old song, which then goes on", old[:2205] + [0] * RATE + old[:RATE] + new, 2 * RATE + 2205),
        ]
        for name, samples, stopped in cases:
            with self.subTest(name):
                heard = len(samples) - len(new)
                self.assertEqual(verdicts.left_at(samples, 0, heard), stopped)

    def test_captured_tone(self):
        tone = sine(1.5, 1000)
        cases = [
            ("the tone played", tone, 0),
            ("6 ms of silence in the middle", tone[:RATE // 2] + [0] * (RATE * 6 // 1000) + tone[RATE // 2:], 1),
            ("a second only", tone[:RATE], 1),
            ("another frequency", sine(1.5, 1100), 1),
            ("too quiet", sine(1.5, 1000, 6000), 1),
            ("silence", [0] * RATE, 1),
        ]
        for name, samples, failed in cases:
            with self.subTest(name):
                self.assertEqual(len(verdicts.captured_tone(samples, 1.5, 1000)), failed)

    def test_changed_box(self):
        blank = bytes(4 * 4 * 3)

        def with_pixel(x, y):
            picture = bytearray(blank)
            picture[(y * 4 + x) * 3] = 255
            return bytes(picture)
        cases = [
            ("nothing changed", blank, (0, 0, 4, 4), None),
            ("one pixel", with_pixel(2, 1), (0, 0, 4, 4), (2, 1, 2, 1)),
            ("a change outside the rectangle", with_pixel(3, 3), (0, 0, 2, 2), None),
        ]
        for name, other, rect, box in cases:
            with self.subTest(name):
                self.assertEqual(verdicts.changed_box(blank, other, 4, *rect), box)


if __name__ == "__main__":
    unittest.main()
