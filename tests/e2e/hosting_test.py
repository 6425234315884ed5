"""Hosting from the game: "Host" on the address screen starts kav-server beside the
game on a free port and joins it, a second game joins through the typed address, and
the server stops with the lobby or the game. Also the message of a server that cannot
start, and the recent addresses kept across a restart. Loopback only."""

import os
import re
import shutil
import signal
import socket
import tempfile
import unittest

from kav_driver import BINARY, EXIT_TIMEOUT, START_TIMEOUT, has_display, log_messages, new_workdir, wait_until
from network_test import (ADDRESS_FIELD, ADDRESS_OK, LAN, LOBBY_CHAT, LOBBY_CHAT_FIELD, SHOWS_TIMEOUT, USER_NAME_FIELD,
                          USER_NAME_OK, Player, ServerUnavailable, changed, start_server)

# Window pixels of the address screen (640 x 480 window).
ADDRESS_HOST = (400, 245)
ADDRESS_FIRST_RECENT = (260, 239)
# The message box over the address screen.
MESSAGE_AREA = "200x60+220+210"


def hosted_port(player):
    """The port of the server the game started, from the server's log on the game's console."""
    def port():
        found = re.search(r"Game server listening on \S+ port (\d+)", player.output())
        return int(found.group(1)) if found else None

    return wait_until(port, START_TIMEOUT, "the hosted server to listen")


def port_open(port):
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=1):
            return True
    except OSError:
        return False


def wait_port_closed(port):
    wait_until(lambda: not port_open(port), EXIT_TIMEOUT, f"port {port} to close")


def host(player, name):
    """Host, then the user name: the game joins its own server. Returns its port."""
    player.click(*LAN)
    player.click(*ADDRESS_HOST)
    port = hosted_port(player)
    player.settle()
    player.click(*USER_NAME_FIELD)
    player.type(name)
    player.click(*USER_NAME_OK)
    return port


@unittest.skipUnless(has_display(), "needs a display (run under xvfb-run)")
class Hosting(unittest.TestCase):
    def player(self, **options):
        player = Player(levels=("crossroads",), **options)
        self.addCleanup(player.cleanup)
        player.wait_for_window()
        return player

    def test_a_hosted_server_is_joined_by_typed_address_and_stops_with_the_lobby(self):
        ann = self.player()
        bob = self.player()
        port = host(ann, "ann")
        bob.log_in(str(port), "bob")
        ann_lobby = ann.screenshot("host-1-ann-lobby")
        bob_lobby = bob.screenshot("host-1-bob-lobby")
        # Only the host's chat starts with the lines naming the server.
        self.assertTrue(changed(ann_lobby, bob_lobby, LOBBY_CHAT), "no Hosting on lines in the host's chat")

        ann.click(*LOBBY_CHAT_FIELD)
        ann.type("hello")
        ann.keys("Return")
        wait_until(lambda: changed(bob_lobby, bob.screenshot("host-2-bob-chat"), LOBBY_CHAT), SHOWS_TIMEOUT,
                   "ann's chat line in bob's lobby on ann's server")

        ann.keys("Escape")
        wait_port_closed(port)
        for player in (ann, bob):
            player.close_window()
            player.wait_exit()
        messages = log_messages(ann.log())
        self.assertTrue(any(m.startswith("gui   Hosting on ") and m.endswith(f":{port}") for m in messages), messages)
        self.assertIn("gui   Stopping the game server", messages)

    def test_every_way_out_of_the_game_stops_its_server(self):
        for way in ("window", "SIGTERM", "SIGKILL"):
            with self.subTest(way=way):
                game = self.player()
                game.click(*LAN)
                game.click(*ADDRESS_HOST)
                port = hosted_port(game)
                self.assertTrue(port_open(port))
                if way == "window":
                    game.close_window()
                else:
                    game.signal(getattr(signal, way))
                game.wait_exit()
                # Killed outright, the game cannot stop it: the system tells the server.
                wait_port_closed(port)

    def test_a_server_that_cannot_start_says_why(self):
        # A game binary without kav-server beside it.
        alone = tempfile.mkdtemp(prefix="kav-e2e-alone-")
        self.addCleanup(shutil.rmtree, alone, True)
        binary = shutil.copy(os.path.abspath(BINARY), alone)
        game = self.player(binary=binary)
        game.click(*LAN)
        before = game.screenshot("host-missing-1")
        game.click(*ADDRESS_HOST)
        wait_until(lambda: changed(before, game.screenshot("host-missing-2-message"), MESSAGE_AREA), SHOWS_TIMEOUT,
                   "the message over the address screen")
        game.close_window()
        game.wait_exit()
        self.assertIn(f"gui E Could not start the game server {alone}/kav-server: No such file or directory",
                      log_messages(game.log()))

    def test_the_typed_address_is_offered_again_after_a_restart(self):
        server_dir = tempfile.mkdtemp(prefix="kav-e2e-server-")
        self.addCleanup(shutil.rmtree, server_dir, True)
        try:
            server, port = start_server(server_dir)
        except ServerUnavailable as missing:
            self.skipTest(str(missing))
        self.addCleanup(server.wait)
        self.addCleanup(server.kill)
        self.addCleanup(server.stdout.close)

        workdir = new_workdir()
        first = Player(levels=("crossroads",), workdir=workdir)
        first.wait_for_window()
        first.log_in(port, "ann")
        first.close_window()
        first.wait_exit()
        first._console.close()

        again = self.player(workdir=workdir)
        again.click(*LAN)
        again.click(*ADDRESS_FIELD)
        again.type("")
        again.screenshot("recent-1-offered")
        again.click(*ADDRESS_FIRST_RECENT)
        again.click(*ADDRESS_OK)
        again.click(*USER_NAME_OK)
        again.screenshot("recent-2-lobby")
        again.close_window()
        again.wait_exit()
        # The field was emptied: only the offered address can have connected.
        self.assertIn("net   Connection is opened to the host: localhost", log_messages(again.log()))


if __name__ == "__main__":
    unittest.main()
