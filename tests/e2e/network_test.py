"""Network races played as two people would, each with their own game on one display,
meeting on a real game server on a free loopback port: the typed address, the user
name, the lobby with its chat, creating and joining a game, the start button and the
race to one winner, which one player records and a third game replays with the server
gone."""

import os
import shlex
import shutil
import signal
import socket
import struct
import subprocess
import tempfile
import threading
import time
import unittest

from kav_driver import (ARTIFACTS, SOURCE_DIR, START_TIMEOUT, Game, has_display, log_messages, mean_colour,
                        new_workdir, wait_until)
from lifecycle_test import DEFAULT_INI
from replay_test import LEVEL_LINE, PLAY, START_GAME, dump_records, last_scores

# Window pixels (640 x 480 windows; the menus are centred in them).
LAN = (320, 210)
ADDRESS_FIELD = (320, 223)
ADDRESS_OK = (382, 293)
USER_NAME_FIELD = (320, 240)
USER_NAME_OK = (391, 284)
LOBBY_FIRST_GAME = (200, 108)
LOBBY_JOIN = (137, 218)
LOBBY_CHAT_FIELD = (320, 366)
LOBBY_CREATE = (490, 398)
NAMES_OK = (411, 294)
LEVEL_CROSSROADS = (180, 177)
LEVEL_PLAY = (472, 383)
START_BUTTON = (320, 240)

# ImageMagick crops of a window screenshot.
LOBBY_CHAT = "440x60+95+245"
LOBBY_GAMES = "440x100+95+100"
LIST_REFRESH_TIMEOUT = 40.0
# What another game shows arrives within a few of its slow frames.
SHOWS_TIMEOUT = 10.0
START_BUTTON_AREA = "200x30+220+225"
MESSAGE_LIST = "600x180+15+90"
LEVEL_FLOOR = "420x280+110+120"
# The main menu's left margin, clear of the buttons and their hover colour.
MAIN_MENU_PANEL = "6x150+173+160"
# Where the ships set off on Crossroads: bob's at the top right, ann's at the bottom left.
BOB_START = "120x40+400+100"
ANN_START = "160x50+40+370"
# Pixels of those crops that change when a ship leaves its place; the glow of a ship
# standing still changes a few dozen.
SHIP_MOVED = 200

# Dump records: their kinds, and the left mouse button's key code.
KEY_DOWN = 1
LABEL = 6
PLAYER_UPDATE = 7
MOUSE_LEFT = 385
# A replay is started from the local menus in a stretch of the recording without
# clicks, which would replay into those menus; three clicks need this long.
MENU_CLICKS_SECONDS = 6.0
# After the recording's last action, before the replay is ended.
AFTER_LAST_ACTION_SECONDS = 2.0

SERVER_COMMAND = os.environ.get("KAV_SERVER_CMD", "build/kav-server --port 0")


class ServerUnavailable(Exception):
    pass


def start_server(workdir, extra=(), command_line=SERVER_COMMAND):
    """The game server from KAV_SERVER_CMD (or another kav-server role), with `extra`
    options; returns it and the port it listens on."""
    command = shlex.split(command_line) + list(extra)
    if not os.path.isabs(command[0]) and os.path.exists(os.path.join(SOURCE_DIR, command[0])):
        command[0] = os.path.join(SOURCE_DIR, command[0])
    if not os.path.exists(command[0]):
        raise ServerUnavailable(f"no game server at {command[0]}")
    server = subprocess.Popen(command, cwd=workdir, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    deadline = time.monotonic() + START_TIMEOUT
    while time.monotonic() < deadline:
        line = server.stdout.readline()
        if not line:
            break
        if line.startswith("listening "):
            return server, line.split()[2]
    server.kill()
    raise AssertionError("the game server did not say where it listens")


class Player(Game):
    """One of two games on the display. The windows share their place, so each
    action first raises this player's window."""

    def wait_for_window(self):
        # With two games the name search can answer with the other game's window:
        # the window is the one of this process that is named KAV.
        def find():
            if self.process.poll() is not None:
                raise AssertionError(f"the game ended with status {self.process.returncode}:\n{self.output()}")
            found = subprocess.run(["xdotool", "search", "--pid", str(self.process.pid)], capture_output=True, text=True)
            for window in found.stdout.split():
                name = subprocess.run(["xdotool", "getwindowname", window], capture_output=True, text=True)
                if name.stdout.strip() == "KAV":
                    return window
            return None

        self.window = wait_until(find, START_TIMEOUT, "the KAV window")
        return self.window

    def front(self):
        subprocess.run(["xdotool", "windowraise", self.window], check=True)
        time.sleep(0.15)

    def settle(self):
        # Two games share two cores and draw in software: frames are slow.
        time.sleep(0.6)

    def click(self, x, y):
        self.front()
        super().click(x, y)

    def keys(self, *names):
        self.front()
        super().keys(*names)

    def hold(self, name, seconds):
        self.front()
        super().hold(name, seconds)

    def screenshot(self, name):
        self.front()
        return super().screenshot(name)

    def type(self, text):
        """Replaces the focused field's text; digits and lower-case letters only, as
        the keys are sent to the window without a shift state."""
        self.keys("End", *(["BackSpace"] * 20))
        if text:
            self.front()
            subprocess.run(["xdotool", "type", "--delay", "120", "--window", self.window, text], check=True)
            self.settle()

    def use_settings(self, **values):
        """Rewrites keys of the kav.ini the game wrote at its start; the screens read
        them each time they are shown."""
        path = os.path.join(self.workdir, "kav.ini")
        wait_until(lambda: os.path.exists(path), START_TIMEOUT, "kav.ini")
        with open(path) as ini:
            lines = ini.read().splitlines()
        for index, line in enumerate(lines):
            key = line.split("=", 1)[0]
            if key in values:
                lines[index] = f"{key}={values[key]}"
        with open(path, "w") as ini:
            ini.write("\n".join(lines) + "\n")

    def log_in(self, port, name):
        """Through "LAN (test)": the address keeps its "localhost:" and takes the port."""
        self.click(*LAN)
        self.click(*ADDRESS_FIELD)
        self.keys("End", *(["BackSpace"] * 4))
        self.front()
        subprocess.run(["xdotool", "type", "--delay", "120", "--window", self.window, port], check=True)
        self.click(*ADDRESS_OK)
        self.click(*USER_NAME_FIELD)
        self.type(name)
        self.click(*USER_NAME_OK)


def shows_panel(path, crop):
    """Menus and panels have one face colour, (0.3, 0.5, 0.7)."""
    red, green, blue = mean_colour(path, crop)
    return abs(red - 0.3) < 0.06 and abs(green - 0.5) < 0.05 and abs(blue - 0.7) < 0.05


def changed_pixels(before, after, crop):
    """How many pixels of the crop differ clearly between two screenshots."""
    result = subprocess.run(["compare", "-metric", "AE", "-fuzz", "10%", f"{before}[{crop}]", f"{after}[{crop}]", "null:"],
                            capture_output=True, text=True)
    return int(float(result.stderr.split()[0]))


def changed(before, after, crop, at_least=20):
    return changed_pixels(before, after, crop) >= at_least


def menu_stretch(records):
    """When (ms into the recording) the longest stretch without clicks before the level
    was loaded begins: clicks the recording made on the network screens replay into
    whatever menu a replay shows, so a replay's own clicks keep out of their way."""
    load = next(time_ms for time_ms, kind, _ in records if kind == LABEL)
    clicks = [time_ms for time_ms, kind, data in records
              if kind == KEY_DOWN and struct.unpack_from("<i", data)[0] == MOUSE_LEFT and time_ms < load]
    edges = [0, *clicks, load]
    start, end = max(zip(edges, edges[1:]), key=lambda gap: gap[1] - gap[0])
    if end - start < MENU_CLICKS_SECONDS * 1000:
        raise AssertionError(f"no {MENU_CLICKS_SECONDS} s without clicks before the level was loaded")
    return start


class Relay:
    """A TCP relay between the games and the server on loopback that can fail the way
    an outage does: every connection dropped and new ones refused for a while."""

    def __init__(self, target_port):
        self.target = ("127.0.0.1", int(target_port))
        self.lock = threading.Lock()
        self.sockets = []
        self.closed = False
        self.listener = None
        self.port = 0
        self._listen()
        self.thread = threading.Thread(target=self._accept_loop, daemon=True)
        self.thread.start()

    def _listen(self):
        listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        listener.bind(("127.0.0.1", self.port))
        listener.listen(8)
        listener.settimeout(0.1)
        self.port = listener.getsockname()[1]
        with self.lock:
            self.listener = listener

    def _accept_loop(self):
        while not self.closed:
            with self.lock:
                listener = self.listener
            if listener is None:
                time.sleep(0.05)
                continue
            try:
                client, _ = listener.accept()
            except (socket.timeout, OSError):
                continue
            try:
                server = socket.create_connection(self.target, timeout=2)
            except OSError:
                client.close()
                continue
            # The pumps block until their end closes.
            client.settimeout(None)
            server.settimeout(None)
            with self.lock:
                self.sockets += [client, server]
            for source, sink in ((client, server), (server, client)):
                threading.Thread(target=self._pump, args=(source, sink), daemon=True).start()

    @staticmethod
    def _pump(source, sink):
        try:
            while True:
                data = source.recv(65536)
                if not data:
                    break
                sink.sendall(data)
        except OSError:
            pass
        for end in (source, sink):
            try:
                end.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass

    def cut(self):
        """Drops every connection and refuses new ones until `restore`."""
        with self.lock:
            listener, self.listener = self.listener, None
            sockets, self.sockets = self.sockets, []
        if listener is not None:
            listener.close()
        for end in sockets:
            try:
                end.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
            end.close()

    def restore(self):
        self._listen()

    def close(self):
        self.closed = True
        self.cut()


@unittest.skipUnless(has_display(), "needs a display (run under xvfb-run)")
class NetworkRace(unittest.TestCase):
    def setUp(self):
        self.server_dir = tempfile.mkdtemp(prefix="kav-e2e-server-")
        try:
            self.server, self.port = start_server(self.server_dir)
        except ServerUnavailable as missing:
            self.skipTest(str(missing))
        self.addCleanup(self.stop_server)

    def stop_server(self):
        """Once, at the end or when a test wants the server gone."""
        if self.server is None:
            return
        server, self.server = self.server, None
        server.kill()
        server.wait()
        server.stdout.close()
        shutil.rmtree(self.server_dir, ignore_errors=True)

    def start_players(self, ann_args=()):
        ann = Player(levels=("crossroads",), args=ann_args)
        self.addCleanup(ann.cleanup)
        bob = Player(levels=("crossroads",))
        self.addCleanup(bob.cleanup)
        ann.wait_for_window()
        bob.wait_for_window()
        self.assertNotEqual(ann.window, bob.window)
        # Each plays alone on a one-hit game, under their own name.
        ann.use_settings(Player1Name="Player1", Player2Name="", Victories=1)
        bob.use_settings(Player1Name="bob", Player2Name="", Victories=1)
        return ann, bob

    def start_race(self, ann, bob, port):
        """Ann creates a one-hit game on Crossroads, bob joins it, both press start."""
        ann.log_in(port, "ann")
        bob.log_in(port, "bob")
        lobby = bob.screenshot("outage-1-bob-lobby")
        ann.click(*LOBBY_CREATE)
        ann.click(*LEVEL_CROSSROADS)
        ann.click(*LEVEL_PLAY)
        wait_until(lambda: changed(lobby, bob.screenshot("outage-2-bob-lists-the-game"), LOBBY_GAMES),
                   LIST_REFRESH_TIMEOUT, "ann's game in bob's lobby")
        bob.click(*LOBBY_FIRST_GAME)
        bob.click(*LOBBY_JOIN)
        bob.click(*NAMES_OK)
        bob.settle()
        ann.click(*START_BUTTON)
        bob.click(*START_BUTTON)
        ann.settle()

    def test_an_outage_pauses_the_race_and_a_long_one_aborts_it(self):
        relay = Relay(self.port)
        self.addCleanup(relay.close)
        ann, bob = self.start_players()
        self.start_race(ann, bob, str(relay.port))
        started = bob.screenshot("outage-3-bob-racing")

        relay.cut()
        time.sleep(2)
        relay.restore()
        # The first try waits 5 s, then connects and joins the game again.
        time.sleep(9)
        ann.hold("Up", 0.2)
        ann.settle()
        self.assertTrue(changed(started, bob.screenshot("outage-4-bob-resumed"), LEVEL_FLOOR),
                        "the race does not go on after the connection is back")

        relay.cut()
        # Three tries 5 s apart, then the race runs out for 3 s and the menus return.
        wait_until(lambda: shows_panel(ann.screenshot("outage-5-ann-menu"), MAIN_MENU_PANEL), 40,
                   "ann's game to give up and return to the main menu")
        wait_until(lambda: shows_panel(bob.screenshot("outage-5-bob-menu"), MAIN_MENU_PANEL), 10,
                   "bob's game to give up and return to the main menu")
        for player in (ann, bob):
            player.close_window()
            player.wait_exit()
            messages = log_messages(player.log())
            for line in ("Disconnected...", "Try 0 to connect...", "Connection resumed, updating...",
                         "Try 1 to connect...", "Try 2 to connect...", "Game is aborted"):
                self.assertIn("net   " + line, messages)
            self.assertEqual(messages.count("net   Connection resumed, updating..."), 1)

    def test_two_players_meet_chat_and_race_to_the_same_winner(self):
        # Ann records her game into a dump (the one argument on the command line).
        ann, bob = self.start_players(ann_args=["race.dump"])
        ann.log_in(self.port, "ann")
        bob.log_in(self.port, "bob")
        lobby = bob.screenshot("net-1-bob-lobby")

        ann.click(*LOBBY_CHAT_FIELD)
        ann.type("hello")
        ann.keys("Return")
        ann.settle()
        wait_until(lambda: changed(lobby, bob.screenshot("net-2-bob-lobby-chat"), LOBBY_CHAT), SHOWS_TIMEOUT,
                   "ann's chat line in bob's lobby")

        ann.click(*LOBBY_CREATE)
        ann.click(*LEVEL_CROSSROADS)
        ann.click(*LEVEL_PLAY)
        ann.settle()
        waiting = ann.screenshot("net-3-ann-waiting")

        # The lobby lists the games afresh every 15 s.
        wait_until(lambda: changed(lobby, bob.screenshot("net-3-bob-lists-the-game"), LOBBY_GAMES),
                   LIST_REFRESH_TIMEOUT, "ann's game in bob's lobby")
        bob.click(*LOBBY_FIRST_GAME)
        bob.click(*LOBBY_JOIN)
        bob.click(*NAMES_OK)
        bob.settle()
        joined = bob.screenshot("net-4-bob-joined")
        wait_until(lambda: changed(waiting, ann.screenshot("net-5-ann-start-game"), START_BUTTON_AREA), SHOWS_TIMEOUT,
                   "ann's start button to turn from Waiting to Start Game once bob has joined")

        ann.type("go")
        ann.keys("Return")
        ann.settle()
        wait_until(lambda: changed(joined, bob.screenshot("net-6-bob-race-chat"), MESSAGE_LIST), SHOWS_TIMEOUT,
                   "ann's race chat on bob's screen")

        ann.click(*START_BUTTON)
        bob.click(*START_BUTTON)
        ann.settle()
        # Bob sets off along the top lane and brakes to a stop.
        bob.hold("Up", 0.4)
        bob.hold("Down", 0.6)
        bob.settle()
        before = ann.screenshot("net-7-ann-started")
        bob_before = bob.screenshot("net-7-bob-started")
        # Ann speeds along the bottom lane and fires; the bullet runs round and along
        # the top lane to bob.
        ann.hold("Up", 0.2)
        ann.keys("Return")
        ann.settle()
        self.assertTrue(changed(before, ann.screenshot("net-8-ann-moving"), LEVEL_FLOOR), "ann's ship does not move")
        self.assertTrue(changed(bob_before, bob.screenshot("net-8-bob-moving"), LEVEL_FLOOR),
                        "ann's ship does not move on bob's screen")
        time.sleep(8)
        ann.screenshot("net-9-ann-end")
        bob.screenshot("net-9-bob-end")
        # The exit command saves ann's recording; closing the window would not.
        ann.signal(signal.SIGTERM)
        self.assertEqual(ann.wait_exit(), 0)
        bob.close_window()
        bob.wait_exit()
        winners = [[m for m in log_messages(p.log()) if m.endswith(" wins the game")] for p in (ann, bob)]
        self.assertEqual(winners[0], ["gme   Player1 wins the game"], "ann's log")
        self.assertEqual(winners[1], winners[0], "bob's log")
        self.replay_without_the_server(os.path.join(ann.workdir, "race.dump"), log_messages(ann.log()))

    def replay_without_the_server(self, dump, live):
        """Ann's recording replayed by a fresh game on the same level and names, chosen
        in the local menus, with the server gone: the recorded updates drive both ships,
        bob's as well as ann's, and the race ends as it did for ann."""
        self.stop_server()
        os.makedirs(ARTIFACTS, exist_ok=True)
        shutil.copy(dump, os.path.join(ARTIFACTS, "net-10-race.dump"))
        records = dump_records(dump)
        updates = [(time_ms, data[1]) for time_ms, kind, data in records if kind == PLAYER_UPDATE]
        ann_sets_off = next(time_ms for time_ms, player in updates if player == 0)
        bob_moves = [time_ms for time_ms, player in updates if player == 1 and time_ms < ann_sets_off]
        self.assertTrue(bob_moves, "bob's own moves are in ann's recording")

        workdir = new_workdir()
        with open(os.path.join(workdir, "kav.ini"), "w") as ini:
            ini.write(DEFAULT_INI.replace("Player2Name=Player2\n", "Player2Name=bob\n")
                      .replace("Victories=10\n", "Victories=1\n"))
        replay = Game(args=[dump, "1"], workdir=workdir, levels=("crossroads",))
        self.addCleanup(replay.cleanup)
        replay.wait_for_window()
        started = wait_until(lambda: "with loaded dump" in replay.output() and time.monotonic(), START_TIMEOUT,
                             "the replay to start")

        def at(time_ms):
            time.sleep(max(0.0, started + time_ms / 1000 - time.monotonic()))

        at(menu_stretch(records) + 500)
        replay.click(*START_GAME)
        replay.click(*LEVEL_LINE)
        replay.click(*PLAY)
        at(bob_moves[0] - 500)
        still = replay.screenshot("net-11-replay-still")
        at(bob_moves[-1] + 500)
        bob_moved = replay.screenshot("net-12-replay-bob-moved")
        self.assertTrue(changed(still, bob_moved, BOB_START, SHIP_MOVED), "bob's recorded updates do not move his ship")
        self.assertFalse(changed(still, bob_moved, ANN_START, SHIP_MOVED), "ann's ship moves before her recorded updates")
        wait_until(lambda: changed(still, replay.screenshot("net-13-replay-ann-moving"), ANN_START, SHIP_MOVED),
                   SHOWS_TIMEOUT, "ann's recorded updates to move her ship")
        at(records[-1][0] + AFTER_LAST_ACTION_SECONDS * 1000)
        replay.signal(signal.SIGTERM)
        self.assertEqual(replay.wait_exit(), 0)

        messages = log_messages(replay.log())
        self.assertIn(f"dbg   Done all actions ({len(records)})", messages, "the replay did not reach its end")
        self.assertTrue([m for m in messages if m.startswith("dbg   Timer set to ")],
                        "the replay does not follow the clock the server gave the race")
        self.assertFalse([m for m in messages if m.startswith(("net   Connection", "net   Try ", "plr   Send update"))],
                         "a replay neither connects nor sends")
        self.assertEqual([m for m in messages if m.endswith(" wins the game")], ["gme   Player1 wins the game"])
        self.assertEqual(last_scores(messages), last_scores(live), "the final score differs from the race's")


if __name__ == "__main__":
    unittest.main()
