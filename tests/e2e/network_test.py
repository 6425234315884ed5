"""Network races played as two people would, each with their own game on one display,
meeting on a real game server on a free loopback port: the typed address, the user
name, the lobby with its chat, creating and joining a game, the start button and the
race to one winner."""

import os
import shlex
import shutil
import subprocess
import tempfile
import time
import unittest

from kav_driver import SOURCE_DIR, START_TIMEOUT, Game, has_display, log_messages, wait_until

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
NAMES_PLAYER_1 = (379, 218)
NAMES_PLAYER_2 = (379, 241)
NAMES_OK = (411, 294)
LEVEL_PLAYER_2 = (300, 119)
LEVEL_VICTORIES = (300, 143)
LEVEL_CROSSROADS = (180, 177)
LEVEL_PLAY = (472, 383)
START_BUTTON = (320, 240)

# ImageMagick crops of a window screenshot.
LOBBY_CHAT = "440x60+95+245"
LOBBY_GAMES = "440x100+95+100"
LIST_REFRESH_TIMEOUT = 20.0
START_BUTTON_AREA = "200x30+220+225"
MESSAGE_LIST = "600x180+15+90"
LEVEL_FLOOR = "420x280+110+120"

SERVER_COMMAND = os.environ.get("KAV_SERVER_CMD", "build/kav-server --port 0")


class ServerUnavailable(Exception):
    pass


def start_server(workdir):
    """The game server from KAV_SERVER_CMD; returns it and the port it listens on."""
    command = shlex.split(SERVER_COMMAND)
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


def changed_pixels(before, after, crop):
    """How many pixels of the crop differ clearly between two screenshots."""
    result = subprocess.run(["compare", "-metric", "AE", "-fuzz", "10%", f"{before}[{crop}]", f"{after}[{crop}]", "null:"],
                            capture_output=True, text=True)
    return int(float(result.stderr.split()[0]))


def changed(before, after, crop, at_least=20):
    return changed_pixels(before, after, crop) >= at_least


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
        self.server.kill()
        self.server.wait()
        self.server.stdout.close()
        shutil.rmtree(self.server_dir, ignore_errors=True)

    def start_players(self):
        ann = Player(levels=("crossroads",))
        self.addCleanup(ann.cleanup)
        bob = Player(levels=("crossroads",))
        self.addCleanup(bob.cleanup)
        ann.wait_for_window()
        bob.wait_for_window()
        self.assertNotEqual(ann.window, bob.window)
        return ann, bob

    def test_two_players_meet_chat_and_race_to_the_same_winner(self):
        ann, bob = self.start_players()
        ann.log_in(self.port, "ann")
        bob.log_in(self.port, "bob")
        lobby = bob.screenshot("net-1-bob-lobby")

        ann.click(*LOBBY_CHAT_FIELD)
        ann.type("hello")
        ann.keys("Return")
        ann.settle()
        chatted = bob.screenshot("net-2-bob-lobby-chat")
        self.assertTrue(changed(lobby, chatted, LOBBY_CHAT), "ann's chat line does not reach bob's lobby")

        ann.click(*LOBBY_CREATE)
        ann.click(*LEVEL_PLAYER_2)
        ann.type("")
        ann.click(*LEVEL_VICTORIES)
        ann.type("1")
        ann.click(*LEVEL_CROSSROADS)
        ann.click(*LEVEL_PLAY)
        ann.settle()
        waiting = ann.screenshot("net-3-ann-waiting")

        # The lobby lists the games afresh every 15 s.
        wait_until(lambda: changed(lobby, bob.screenshot("net-3-bob-lists-the-game"), LOBBY_GAMES),
                   LIST_REFRESH_TIMEOUT, "ann's game in bob's lobby")
        bob.click(*LOBBY_FIRST_GAME)
        bob.click(*LOBBY_JOIN)
        bob.click(*NAMES_PLAYER_1)
        bob.type("bob")
        bob.click(*NAMES_PLAYER_2)
        bob.type("")
        bob.click(*NAMES_OK)
        bob.settle()
        joined = bob.screenshot("net-4-bob-joined")
        startable = ann.screenshot("net-5-ann-start-game")
        self.assertTrue(changed(waiting, startable, START_BUTTON_AREA),
                        "the start button does not change from Waiting once bob has joined")

        ann.type("go")
        ann.keys("Return")
        ann.settle()
        self.assertTrue(changed(joined, bob.screenshot("net-6-bob-race-chat"), MESSAGE_LIST),
                        "ann's race chat does not reach bob")

        ann.click(*START_BUTTON)
        bob.click(*START_BUTTON)
        ann.settle()
        before = ann.screenshot("net-7-ann-started")
        bob_before = bob.screenshot("net-7-bob-started")
        # Ann speeds along the bottom lane and fires; the bullet runs round to bob.
        ann.hold("Up", 0.2)
        ann.keys("Return")
        ann.settle()
        self.assertTrue(changed(before, ann.screenshot("net-8-ann-moving"), LEVEL_FLOOR), "ann's ship does not move")
        self.assertTrue(changed(bob_before, bob.screenshot("net-8-bob-moving"), LEVEL_FLOOR),
                        "ann's ship does not move on bob's screen")
        time.sleep(8)
        ann.screenshot("net-9-ann-end")
        bob.screenshot("net-9-bob-end")
        for player in (ann, bob):
            player.close_window()
            player.wait_exit()
        winners = [[m for m in log_messages(p.log()) if m.endswith(" wins the game")] for p in (ann, bob)]
        self.assertEqual(winners[0], ["gme   Player1 wins the game"], "ann's log")
        self.assertEqual(winners[1], winners[0], "bob's log")


if __name__ == "__main__":
    unittest.main()
