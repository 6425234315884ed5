"""The way to a game server through "Internet (test)": a server directory and a game
server announced to it, both kav-server on loopback, and the game's server list."""

import os
import shutil
import socket
import subprocess
import tempfile
import unittest

from kav_driver import START_TIMEOUT, has_display, log_messages, wait_until
from network_test import (USER_NAME_FIELD, USER_NAME_OK, Player, ServerUnavailable, shows_panel,
                          start_server)

DIRECTORY_COMMAND = os.environ.get("KAV_DIRECTORY_CMD", "build/kav-server --directory")

# Window pixels of the main menu and the server list (640 x 480 window).
INTERNET = (320, 240)
FIRST_SERVER = (250, 134)
CONNECT = (468, 368)
REFRESH = (150, 336)
BY_PING = (280, 336)
# The first two rows of the list, and the place where a ping figure stands.
ROW_HEIGHT = 12
STATUS_LINE = "340x12+96+309"
FIRST_ROW = "300x11+98+128"
# Left of the server list, inside the lobby.
LOBBY_EDGE = "14x100+93+150"
# A directory announcement is pinged before it is listed; the list is fetched anew by
# each visit of the screen.
LISTED_TIMEOUT = 20.0


def free_port():
    """A port nobody listens on now; the directory must know its own port before it
    starts, because the reference file it serves names it."""
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def light_share(path, crop, threshold="80%"):
    """The share of the crop's pixels that are near white: the letters of a row."""
    command = ["convert", path, "-crop", crop, "+repage", "-colorspace", "gray", "-threshold", threshold, "-format",
               "%[fx:mean]", "info:"]
    return float(subprocess.run(command, capture_output=True, text=True, check=True).stdout)


def has_text(path, crop):
    return light_share(path, crop) > 0.02


def row(index, width=300):
    """Row `index` of the server list; a narrow one holds only the server's name."""
    return f"{width}x11+98+{128 + ROW_HEIGHT * index}"


def name_of(index):
    return row(index, 100)


def greyed(path, crop):
    """Letters in grey: lighter than the face, never white."""
    return light_share(path, crop) == 0 and light_share(path, crop, "55%") > 0.02


def same_pixels(path_a, crop_a, path_b, crop_b):
    """Two crops, perhaps of different places, look alike (the same row text)."""
    with tempfile.TemporaryDirectory() as scratch:
        parts = []
        for index, (path, crop) in enumerate(((path_a, crop_a), (path_b, crop_b))):
            part = os.path.join(scratch, f"{index}.png")
            subprocess.run(["convert", path, "-crop", crop, "+repage", part], check=True)
            parts.append(part)
        result = subprocess.run(["compare", "-metric", "AE", "-fuzz", "10%", *parts, "null:"], capture_output=True,
                                text=True)
        return int(float(result.stderr.split()[0])) < 10


class Directory:
    """A kav-server directory on a free loopback port, and game servers announced to it."""

    def __init__(self, test):
        self.test = test
        self.workdir = tempfile.mkdtemp(prefix="kav-e2e-directory-")
        test.addCleanup(shutil.rmtree, self.workdir, ignore_errors=True)
        self.port = free_port()
        self.processes = []
        self.directory = None

    def start(self, static_lines=()):
        """`static_lines` are listed as they are, without an announcement."""
        config = os.path.join(self.workdir, "directory.ini")
        with open(config, "w") as ini:
            ini.write(f"[Directory]\nPublicAddress=127.0.0.1:{self.port}\n[StaticServers]\n")
            for index, line in enumerate(static_lines):
                ini.write(f"Server{index}={line}\n")
        self.directory = self._start(["--config", config, "--port", str(self.port), "--listen", "127.0.0.1", "--log",
                                      os.path.join(self.workdir, "directory.log")], DIRECTORY_COMMAND)

    def stop(self):
        self._stop(self.directory)
        self.directory = None

    def announce(self, name):
        """A game server from KAV_SERVER_CMD that announces itself; returns once listed."""
        server = self._start(["--announce", f"127.0.0.1:{self.port}", "--name", name, "--description", "e2e", "--log",
                              os.path.join(self.workdir, name + ".log")])
        wait_until(lambda: f";{name};" in self.list_document(), LISTED_TIMEOUT, f"the directory to list {name}")
        return server

    def list_document(self):
        """The list as the game fetches it (the log files are written in blocks)."""
        with socket.create_connection(("127.0.0.1", self.port), timeout=2) as connection:
            connection.sendall(b"GET /cgi-bin/kav.pl\n")
            reply = b""
            while len(reply) < 65536:
                data = connection.recv(4096)
                if not data:
                    break
                reply += data
        return reply.decode("latin-1")

    def read(self, name):
        path = os.path.join(self.workdir, name)
        if not os.path.exists(path):
            return ""
        with open(path, encoding="latin-1") as file:
            return file.read()

    def settings(self):
        """The game's kav.ini keys that lead it to this directory."""
        return dict(RefHost=f"127.0.0.1:{self.port}", RefFile=f"http://127.0.0.1:{self.port}/kav.txt", ScrHost="",
                    ScrFile="")

    def _start(self, extra, command_line=None):
        try:
            process, _ = start_server(self.workdir, extra, *(() if command_line is None else (command_line,)))
        except ServerUnavailable as missing:
            self.test.skipTest(str(missing))
        self.processes.append(process)
        self.test.addCleanup(self._stop, process)
        return process

    @staticmethod
    def _stop(process):
        if process is None or process.poll() is not None:
            return
        process.kill()
        process.wait()
        process.stdout.close()


@unittest.skipUnless(has_display(), "needs a display (run under xvfb-run)")
class ServerList(unittest.TestCase):
    def start_player(self, directory, workdir=None):
        player = Player(levels=("crossroads",), workdir=workdir)
        self.addCleanup(player.cleanup)
        player.wait_for_window()
        player.use_settings(Player1Name="Player1", Player2Name="", **directory.settings())
        return player

    def test_a_listed_server_is_reached_through_the_directory(self):
        directory = Directory(self)
        directory.start()
        directory.announce("loopback")
        player = self.start_player(directory)

        player.click(*INTERNET)
        wait_until(lambda: has_text(player.screenshot("server-list-1-listed"), FIRST_ROW), START_TIMEOUT,
                   "the announced server in the server list")
        player.click(*FIRST_SERVER)
        player.click(*CONNECT)
        player.click(*USER_NAME_FIELD)
        player.type("ann")
        player.click(*USER_NAME_OK)
        wait_until(lambda: shows_panel(player.screenshot("server-list-2-lobby"), LOBBY_EDGE), START_TIMEOUT,
                   "the lobby, which is wider than the server list")
        player.close_window()
        player.wait_exit()
        messages = log_messages(player.log())
        self.assertIn("srv   Number of servers: 1", messages)

    def test_the_list_stays_through_a_lost_directory_and_comes_back_from_the_cache(self):
        directory = Directory(self)
        # Static lines come first: a server nobody answers for, and one of a later version.
        directory.start((f"0.9b;127.0.0.1;{free_port()};gone;down;0/0", "1.0;127.0.0.1;9;future;next version;1/1"))
        directory.announce("loopback")
        player = self.start_player(directory)
        player.click(*INTERNET)
        # gone, loopback, then future in grey.
        listed = wait_until(lambda: (lambda shot: shot if has_text(shot, row(1)) and greyed(shot, row(2)) else None)(
            player.screenshot("server-list-3-three-rows")), START_TIMEOUT, "two servers and one greyed")
        self.assertTrue(has_text(listed, row(0)))

        # Sorted by ping, the answering server leads, the silent one follows.
        player.click(*BY_PING)
        sorted_shot = wait_until(
            lambda: (lambda shot: shot if same_pixels(shot, name_of(0), listed, name_of(1)) and same_pixels(
                shot, name_of(1), listed, name_of(0)) else None)(player.screenshot("server_list")), START_TIMEOUT,
            "the rows in ping order")
        self.assertTrue(greyed(sorted_shot, row(2)), "another version stays last and grey")

        directory.stop()
        player.click(*REFRESH)
        # The status line turns from the server count to the failure.
        refreshed = wait_until(lambda: (lambda shot: shot if not same_pixels(shot, STATUS_LINE, sorted_shot, STATUS_LINE)
                                        else None)(player.screenshot("server-list-4-directory-gone")), START_TIMEOUT,
                               "the failed refresh")
        # The rows stay (their pings may be measured anew, from the cached list).
        for index in range(3):
            self.assertTrue(same_pixels(refreshed, name_of(index), sorted_shot, name_of(index)), f"row {index} stays")

        player.close_window()
        player.wait_exit()
        again = Player(levels=("crossroads",), workdir=player.workdir)
        self.addCleanup(again.cleanup)
        again.wait_for_window()
        again.click(*INTERNET)
        wait_until(lambda: (lambda shot: has_text(shot, row(1)) and greyed(shot, row(2)))(
            again.screenshot("server-list-5-cached")), START_TIMEOUT, "the cached list")
        again.close_window()
        again.wait_exit()
        messages = log_messages(again.log())
        self.assertIn("srv   Using the cached list of 3 servers", messages)


if __name__ == "__main__":
    unittest.main()
