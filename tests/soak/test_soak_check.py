"""The soak's song-sequence check on made-up runs: orders of events the player may really take
pass, skipped, early, wrong or missing song changes fail."""
import unittest

from bad_disks import plays_a_round
from soak import CLICK_LAG, Model, check_sequence, least_click_lag

# Songs 1..6: 3 and 6 unplayable. Forward: 1 2 4 5 1; backward: 1 5 4 2 1.
SONGS = [("ok", 2.0), ("ok", 1.0), ("missing", 0), ("ok", 2.0), ("ok", 1.5), ("random", 0)]


def seen(*pairs):
    """(time, song) pairs as the probe logs them, each polled 2 ms after the poll before."""
    return [(t, t - 0.002, song) for t, song in pairs]


GOOD = [
    ("songs end by themselves after their length",
     seen((0.0, 1), (2.0, 2), (3.0, 4), (5.0, 5), (6.5, 1)), [], 8),
    ("next moves to the next playable song", seen((0.0, 1), (0.6, 2), (0.9, 4)),
     [(0.5, "next"), (0.8, "next")], 3),
    ("a fast burst may be seen only at its end", seen((0.0, 1), (0.6, 4)),
     [(0.5, "next"), (0.52, "next")], 3),
    ("previous skips unplayable songs and wraps", seen((0.0, 4), (0.6, 2), (1.0, 1), (1.4, 5)),
     [(0.5, "prev"), (0.9, "prev"), (1.3, "prev")], 4),
    ("stop shows 00, play starts from song 01", seen((0.0, 4), (0.6, 0), (1.6, 1)),
     [(0.5, "stop"), (1.0, "next"), (1.5, "play")], 4),
    ("a forward seek ends the song early", seen((0.0, 1), (0.6, 2), (0.7, 4)),
     [(0.5, "next"), (0.65, "ff")], 3),
    ("seek then previous: the seek's end came first", seen((0.0, 1), (0.6, 2), (0.9, 4), (0.95, 2)),
     [(0.5, "next"), (0.8, "ff"), (0.81, "prev")], 3),
    ("seek then previous: previous came first, the stale end is ignored",
     seen((0.0, 1), (0.6, 2), (0.9, 1)), [(0.5, "next"), (0.8, "ff"), (0.81, "prev")], 3),
    ("pause and rewind change no song", seen((0.0, 1), (5.0, 2)),
     [(0.5, "pause"), (1.0, "rw"), (3.0, "play")], 6),
]

# Each faulty run starts with song 01 ending by itself at 2.0 s, so that song 02's start is known
# (the first song seen may have started before the probe looked, so its end is always allowed).
START = [(0.0, 1), (2.0, 2)]
BAD = [
    ("a stale end notice returns to the song just left",
     seen(*START, (2.6, 4), (2.9, 2), (2.95, 4)), [(2.5, "next"), (2.8, "ff"), (2.81, "prev")], 5, "02 -> 04 at 2.95"),
    ("a song left after a tenth of its length", seen(*START, (2.6, 4), (2.7, 5)), [(2.5, "next")], 5,
     "04 -> 05"),
    ("an unplayable song shown", seen(*START, (2.6, 3)), [(2.5, "next")], 5, "02 -> 03"),
    ("one next, two songs on", seen(*START, (2.6, 5)), [(2.5, "next")], 5, "02 -> 05"),
    ("a next without effect", seen(*START), [(2.5, "next")], 2.5 + CLICK_LAG, "no effect"),
    ("a stop without effect", seen(*START, (3.0, 4)), [(2.5, "stop")], 2.5 + CLICK_LAG, "no effect"),
    ("previous taken as next", seen(*START, (2.6, 4)), [(2.5, "prev")], 5, "02 -> 04"),
]


class CheckSequence(unittest.TestCase):
    def test_orders_the_player_may_take_pass(self):
        model = Model(SONGS)
        for name, observations, actions, stop in GOOD:
            with self.subTest(name):
                problems, _ = check_sequence(model, observations, actions, stop)
                self.assertEqual(problems, [])

    def test_faults_are_reported(self):
        model = Model(SONGS)
        for name, observations, actions, stop, words in BAD:
            with self.subTest(name):
                problems, _ = check_sequence(model, observations, actions, stop)
                self.assertEqual(len(problems), 1, problems)
                self.assertIn(words, problems[0])

    def test_the_least_lag_that_explains_a_run(self):
        model = Model(SONGS)
        # Two nexts pressed at 0.5 and 0.6 s, seen at 4.5 and 4.55 s: while 02 shows, the click
        # of 0.6 s is 3.9 s old and not yet handled.
        twice = [(0.5, "next"), (0.6, "next")]
        table = [(seen((0.0, 1), (4.5, 2), (4.55, 4)), twice, 3.9),
                 (seen((0.0, 1), (0.7, 2), (0.8, 4)), twice, 0.1),
                 (seen((0.0, 1), (4.5, 2)), twice, None)]
        for observations, actions, expected in table:
            lag = least_click_lag(model, observations, actions, 0.5 + CLICK_LAG + 1)
            if expected is None:
                self.assertIsNone(lag)
            else:
                self.assertAlmostEqual(lag, expected, delta=0.06)

    def test_navigation_matches_the_controller(self):
        model = Model(SONGS)
        table = [(1, +1, 2), (2, +1, 4), (5, +1, 1), (1, -1, 5), (4, -1, 2), (0, +1, 1)]
        for song, direction, expected in table:
            self.assertEqual(model.step(song, direction), expected, (song, direction))
        self.assertEqual(Model([("ok", 1.0), ("missing", 0)]).step(1, +1), 0)


if __name__ == "__main__":
    unittest.main()


class BadDiskRoundTest(unittest.TestCase):
    def test_a_round_of_the_playable_songs_from_any_of_them(self):
        three = ["01", "03", "05"]
        table = [(["01", "05", "01"], ["01", "05"], True),
                 (["05", "01", "05", "01"], ["01", "05"], True),
                 (["03", "05", "01", "03"], three, True),
                 (["01", "05", "03", "01"], three, False),
                 (["01", "05"], ["01", "05"], False),
                 (["02", "05", "01"], ["01", "05"], False),
                 ([], ["01", "05"], False)]
        for songs, plays, ok in table:
            with self.subTest(songs=songs):
                self.assertEqual(plays_a_round(songs, plays), ok)
