"""Recorded local races replayed with replay-drives-input on: the race must end as it
did when it was recorded, as a player would see it in kav.log (the winner's line and
the final score the players' updates carry).

The menus are clicked through live in both runs, at the same pace: a click a menu takes
is recorded as consumed, so it does not replay; the recorded player updates drive the
ships once the level is loaded. One race is replayed with its keys too: its F5 reloads
the level from the replay while the ships move.

The dumps in replays/ come from real races. To record them again (after a change to
the rules, the levels or the menus), from the repository root with build/kav built:

    xvfb-run -a -s "-screen 0 1024x768x24" python3 tests/e2e/replay_test.py --record [NAME...]
"""

import os
import shutil
import signal
import struct
import sys
import time
import unittest

from kav_driver import CHECK_OUTCOMES, Game, has_display, log_messages, new_workdir
from lifecycle_test import DEFAULT_INI

REPLAYS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "replays")

# Window pixels of what the player clicks; each run shows the game one level.
START_GAME = (320, 173)
LEVEL_LINE = (180, 177)
PLAY = (472, 383)

# Time for the game to load the level after Play, before the race is played.
LEVEL_LOAD_SECONDS = 3.0
# Time after the last recorded action before the replay's run is ended.
AFTER_LAST_ACTION_SECONDS = 3.0


class RecordedRace:
    def __init__(self, name, level, level_name, play, winner, scores, replayed_keys=False, reloads=0):
        self.name = name
        self.level = level  # directory under data/
        self.level_name = level_name
        self.play = play  # what the players do once the level is loaded
        self.winner = winner  # the winner's line, or None
        self.scores = scores  # player id -> "[made/got]" of the last update
        # With replay-drives-input on, recorded keys are ignored like live ones and only
        # the recorded updates drive the game; off, the recorded keys (F5) act again.
        self.replayed_keys = replayed_keys
        self.reloads = reloads  # F5 presses the replay repeats

    @property
    def dump(self):
        return os.path.join(REPLAYS, self.name + ".dump")


def fire_round_the_canyon(game):
    # Player 1 fires with the right turn held: the bullet runs down the left lane, along
    # the bottom, turns right up the middle and right again, up to player 2's corner.
    game.hold_while("Right", lambda: game.keys("Return"))
    time.sleep(16)


def speed_up_and_miss(game):
    # Both ships set off; player 2 fires along its lane, where player 1 is not.
    game.hold("Up", 0.4)
    game.hold("e", 0.4)
    game.keys("q")
    time.sleep(5)


def reload_under_way_then_win(game):
    # Both ships set off and F5 reloads the level under them (in the replay the players
    # are freed and rebuilt while they move); then player 1 wins as in canyon_win. The
    # last F5 comes after the race has ended, when the chat line is open and takes it.
    game.hold("Up", 0.4)
    game.hold("e", 0.4)
    time.sleep(1.5)
    game.keys("F5")
    time.sleep(1.0)
    fire_round_the_canyon(game)
    game.keys("F5")
    time.sleep(2)


RACES = [
    RecordedRace("canyon_win", "canyon", "Canyon Run", fire_round_the_canyon,
                 winner="Player1 wins the game", scores={0: "[1/0]", 1: "[0/1]"}),
    RecordedRace("twin_orbit_miss", "twin_orbit", "Twin Orbit", speed_up_and_miss,
                 winner=None, scores={0: "[0/0]", 1: "[0/0]"}),
    RecordedRace("canyon_reload_win", "canyon", "Canyon Run", reload_under_way_then_win,
                 winner="Player1 wins the game", scores={0: "[1/0]", 1: "[0/1]"}, replayed_keys=True, reloads=1),
]


def dump_records(path):
    """(time, kind, data) of each record of a dump file."""
    with open(path, "rb") as file:
        data = file.read()
    records = []
    position = 0
    while position < len(data):
        time_ms, kind, length = struct.unpack_from("<iiI", data, position)
        records.append((time_ms, kind, data[position + 12:position + 12 + length]))
        position += 12 + length
    return records


def dump_actions(path):
    """(time, kind) of each record of a dump file."""
    return [(time_ms, kind) for time_ms, kind, _ in dump_records(path)]


def start(race, args):
    """The game on the race's level with one victory to win, in the level choice's reach."""
    workdir = new_workdir()
    with open(os.path.join(workdir, "kav.ini"), "w") as ini:
        ini.write(DEFAULT_INI.replace("Victories=10\n", "Victories=1\n"))
    game = Game(args=args, workdir=workdir, levels=(race.level,))
    game.wait_for_window()
    started = time.monotonic()
    game.settle()
    game.click(*START_GAME)
    game.click(*LEVEL_LINE)
    game.click(*PLAY)
    return game, started


def last_scores(messages):
    """Player id -> the score of the last update the log shows for that player."""
    scores = {}
    for message in messages:
        for prefix in ("plr   Received update for ", "plr   Send update for "):
            if message.startswith(prefix):
                player = int(message[len(prefix):].split()[0])
                scores[player] = message[message.rindex("["):]
    return scores


def record(race):
    game, _ = start(race, ["race.dump"])
    try:
        time.sleep(LEVEL_LOAD_SECONDS)
        race.play(game)
        game.signal(signal.SIGTERM)  # the exit command saves the recording
        if game.wait_exit() != 0:
            raise AssertionError(f"{race.name}: the recording run did not end with status 0")
        os.makedirs(REPLAYS, exist_ok=True)
        shutil.copy(os.path.join(game.workdir, "race.dump"), race.dump)
        messages = log_messages(game.log())
        print(f"{race.name}: {len(dump_actions(race.dump))} actions, "
              f"winner {[m for m in messages if m.endswith('wins the game')]}, scores {last_scores(messages)}")
    finally:
        game.cleanup()


@unittest.skipUnless(has_display(), "needs a display (run under xvfb-run)")
class ReplayedRaces(unittest.TestCase):
    def test_each_recorded_race_ends_as_it_did(self):
        for race in RACES:
            with self.subTest(race=race.name):
                self.replay(race)

    def replay(self, race):
        actions = dump_actions(race.dump)
        game, started = start(race, [race.dump, "0" if race.replayed_keys else "1"])
        self.addCleanup(game.cleanup)
        time.sleep(max(0.0, started + actions[-1][0] / 1000 + AFTER_LAST_ACTION_SECONDS - time.monotonic()))
        game.signal(signal.SIGTERM)
        self.assertEqual(game.wait_exit(), 0)

        self.assertIn("Debug module initialized, with loaded dump: " + race.dump, game.output())
        messages = log_messages(game.log())
        self.assertIn(f"dbg   Done all actions ({len(actions)})", messages, "the replay did not reach its end")
        self.assertFalse([m for m in messages if m.startswith("plr   Send update")],
                         "a replay sends no updates of its own")
        if CHECK_OUTCOMES:
            self.check_outcome(race, messages)

    def check_outcome(self, race, messages):
        self.assertEqual(messages.count("gme   Loading: " + race.level_name), 1 + race.reloads,
                         "the level is loaded from the menu, then once per replayed F5")
        winners = [m for m in messages if m.endswith(" wins the game")]
        if race.winner:
            self.assertEqual(winners, ["gme   " + race.winner], "the replayed race has another outcome")
        else:
            self.assertEqual(winners, [], "nobody won the recorded race")
        self.assertEqual(last_scores(messages), race.scores, "the final score differs from the recording's")


if __name__ == "__main__":
    if sys.argv[1:2] == ["--record"]:
        # `--record NAME...` records only the named races.
        for race in RACES:
            if not sys.argv[2:] or race.name in sys.argv[2:]:
                record(race)
    else:
        unittest.main()
