"""The dropout check of sound.py on made-up recordings: it must see what a listener hears as a click
and leave alone what the tests cause themselves."""
import math
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import sound  # noqa: E402

RATE = sound.RATE


def tone(seconds, hz, amplitude=16000):
    return [int(amplitude * math.sin(2 * math.pi * hz * i / RATE)) for i in range(int(seconds * RATE))]


def silence(seconds):
    return [0] * int(seconds * RATE)


class Dropouts(unittest.TestCase):
    def test_tones(self):
        cases = [
            ("a clean tone", tone(2, 440), [], 0),
            ("a change of tone", tone(1, 440) + tone(1, 880), [], 0),
            ("a song ends, silence, the next begins", tone(1, 440) + silence(0.5) + tone(1, 880), [], 0),
            ("10 ms of silence inside a tone", tone(1, 440) + silence(0.01) + tone(1, 440), [], 1),
            ("2 ms of silence inside a tone", tone(1, 440) + silence(0.002) + tone(1, 440), [], 1),
            ("the same gap at a test's own change", tone(1, 440) + silence(0.01) + tone(1, 440), [1.0], 0),
            ("a jump: a quarter period of the tone skipped", tone(1, 440) + tone(1, 440)[25:], [], 1),
        ]
        for name, samples, marks, found in cases:
            with self.subTest(name):
                self.assertEqual(len(sound.tone_dropouts(samples, marks)), found)

    def test_server_underruns(self):
        # Zeros put in at a peak of the tone (sample 44125), where a listener hears them.
        t, k = tone(2, 440), RATE + 25
        # (case, samples, dropouts, underruns) when server underruns are told apart.
        cases = [
            ("5 zeros put in, the tone goes on in phase", t[:k] + [0] * 5 + t[k:], 0, 1),
            ("two underruns 14 ms apart, the first at a trough",
             t[:k + 50] + [0] * 7 + t[k + 50:k + 661] + [0] * 42 + t[k + 661:], 0, 2),
            ("a zero crossing of the sine itself", tone(2, 441), 0, 0),
            ("an underrun 10 ms after the song's tone stepped up 20 Hz",
             tone(1, 340) + tone(2, 360)[:466] + [0] * 225 + tone(2, 360)[466:RATE], 0, 1),
            ("an underrun just where the song's tone steps",
             tone(1, 340)[:k] + [0] * 225 + tone(2, 360)[:RATE], 0, 1),
            ("5 zeros and 25 samples of the tone lost", t[:k] + [0] * 5 + t[k + 25:], 1, 0),
            ("50 ms of zeros put in", t[:k] + silence(0.05) + t[k:], 0, 1),
            ("300 ms of zeros: longer than an underrun", t[:k] + silence(0.3) + t[k:], 1, 0),
        ]
        for name, samples, found, underruns in cases:
            with self.subTest(name):
                seen = []
                self.assertEqual(len(sound.tone_dropouts(samples, [], seen)), found)
                self.assertEqual(len(seen), underruns)

    def test_verdict(self):
        # (case, times the queue ran dry or None without a log, silences found, strict, failures)
        cases = [
            ("queue never dry, silences only reported", 0, 3, False, 0),
            ("queue ran dry", 2, 0, False, 1),
            ("no player log", None, 0, False, 1),
            ("strict: the silences fail too", 0, 3, True, 1),
            ("strict, nothing found", 0, 0, True, 0),
        ]
        for name, dry, silences, strict, found in cases:
            with self.subTest(name):
                self.assertEqual(len(sound.failures("player.log", dry, silences, strict)), found)

    def test_timeline_through_an_underrun(self):
        # Its zeros inside a window must not give a stray tone there (the seek checks read the
        # timeline: a stray step at a seek's click was taken for where the song was).
        t = tone(2, 360)
        k = RATE + 21 * 2205 // 20
        self.assertEqual([s[2] for s in sound.timeline(t[:k] + [0] * 220 + t[k:])], [360])

    def test_zero_runs_are_whole(self):
        # An underrun across the edge of the part checked must still be seen as one run of zeros.
        samples = [5] * 10 + [0] * 10 + [5] * 10
        self.assertEqual(list(sound.zero_runs(samples, 15, 18)), [(10, 20)])
        self.assertEqual(list(sound.zero_runs(samples, 5, 12)), [(10, 20)])

    def test_heard_from(self):
        # (case, samples, what, from, where it is heard): the effects of the player's controls.
        t = tone(1, 440)
        cases = [
            ("a pause's silence", t + silence(0.5), "quiet", RATE // 2, RATE),
            ("a crossing of the tone is no silence", t, "quiet", 0, None),
            ("sound again", silence(0.5) + t, "sound", 100, RATE // 2 + 1),
            ("the next song's tone", t + tone(1, 1000), lambda hz: abs(hz - 1000) < 30, RATE // 2, RATE + 45),
            ("the same tone goes on", t + t, lambda hz: abs(hz - 1000) < 30, 0, None),
        ]
        for name, samples, what, at, found in cases:
            with self.subTest(name):
                got = sound.heard_from(samples, at, what)
                if found is None:
                    self.assertIsNone(got)
                else:
                    self.assertIsNotNone(got)
                    self.assertLessEqual(abs(got - found), 45)

    def test_music(self):
        noise = [(i * 7919 % 20001) - 10000 for i in range(RATE)]
        cases = [
            ("loud music throughout", noise + noise, 0),
            ("a fade to silence at the end", noise + silence(0.5), 0),
            ("6 ms of digital silence cutting the music", noise + silence(0.006) + noise, 1),
            ("3 ms of silence: a zero crossing, not a dropout", noise + silence(0.003) + noise, 0),
        ]
        for name, samples, found in cases:
            with self.subTest(name):
                self.assertEqual(len(sound.music_dropouts(samples, [])), found)


if __name__ == "__main__":
    unittest.main()
