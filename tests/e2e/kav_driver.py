"""Runs the real game as a player would: in its own directory, on the test display,
with keys and clicks from xdotool and screenshots from ImageMagick."""

import os
import shutil
import signal
import subprocess
import tempfile
import time

BINARY = os.environ.get("KAV_BINARY", "build/kav")
CLOSE_WINDOW = os.environ.get("KAV_CLOSE_WINDOW", "build/tests/e2e/close_window")
SOURCE_DIR = os.environ.get("KAV_SOURCE_DIR", os.getcwd())
ARTIFACTS = os.environ.get("KAV_ARTIFACTS", os.path.join(SOURCE_DIR, "build", "artifacts"))

# How much slower than a plain build the game runs: a sanitizer build (`make tsan`)
# sets it, and every wait for the game (and every bound on how long it may take) grows
# by it. What the tests check stays the same.
TIME_FACTOR = float(os.environ.get("KAV_E2E_TIME_FACTOR", "1"))
# Who wins a race played with real-time key presses depends on the frame rate, so a
# slowed binary is run through the same steps for what its sanitizer finds, and the
# races' outcomes are checked on the plain build only.
CHECK_OUTCOMES = TIME_FACTOR == 1

# Upper bounds for things that happen on their own; polling stops as soon as they do.
START_TIMEOUT = 30.0 * TIME_FACTOR
EXIT_TIMEOUT = 10.0 * TIME_FACTOR

# The game was built with the sanitizers: it is correct but slow, and its leak check at
# exit takes time of its own, so bounds on how fast it reacts do not apply.
SANITIZED = os.environ.get("KAV_SANITIZED") == "1"


def wait_until(condition, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(0.05)
    raise AssertionError(f"timed out after {timeout}s waiting for {what}")


def link_data(workdir, levels):
    source = os.path.join(SOURCE_DIR, "data")
    target = os.path.join(workdir, "data")
    if levels is None:
        os.symlink(source, target)
        return
    os.mkdir(target)
    for name in (".default", "sounds", *levels):
        os.symlink(os.path.join(source, name), os.path.join(target, name))


def new_workdir():
    return tempfile.mkdtemp(prefix="kav-e2e-")


def has_display():
    return bool(os.environ.get("DISPLAY"))


class Game:
    """One run of the game in a fresh working directory holding a link to data/."""

    def __init__(self, args=(), env=None, unset=(), with_data=True, levels=None, workdir=None, rundir=None,
                 binary=None):
        """`levels` limits the bundled levels the game sees (so their order in the level
        list is known); None shows them all. `rundir` is where the game starts when that
        is not `workdir`, which keeps the console file (a full disk, say). `binary` runs
        another program than the built game (the installed launcher)."""
        self.workdir = workdir or new_workdir()
        self.rundir = rundir or self.workdir
        if with_data and not os.path.exists(os.path.join(self.rundir, "data")):
            link_data(self.rundir, levels)
        environment = dict(os.environ)
        environment.setdefault("LIBGL_ALWAYS_SOFTWARE", "1")
        environment.setdefault("ALSOFT_DRIVERS", "null")
        environment.update(env or {})
        for name in unset:
            environment.pop(name, None)
        self._console = open(os.path.join(self.workdir, "stdout.txt"), "wb")
        self.process = subprocess.Popen(
            [os.path.abspath(binary or BINARY), *args],
            cwd=self.rundir,
            env=environment,
            # A fatal report waits for Enter: end of input answers it at once.
            stdin=subprocess.DEVNULL,
            stdout=self._console,
            stderr=subprocess.STDOUT,
        )
        self.window = None

    def wait_for_window(self):
        def find():
            if self.process.poll() is not None:
                raise AssertionError(f"the game ended with status {self.process.returncode} before its window appeared:\n{self.output()}")
            found = subprocess.run(["xdotool", "search", "--pid", str(self.process.pid), "--name", "^KAV$"],
                                   capture_output=True, text=True)
            ids = found.stdout.split()
            return ids[0] if ids else None

        self.window = wait_until(find, START_TIMEOUT, "the KAV window")

        # The window exists a moment before it can be seen (and photographed).
        def shown():
            info = subprocess.run(["xwininfo", "-id", self.window], capture_output=True, text=True).stdout
            return "IsViewable" in info

        wait_until(shown, START_TIMEOUT, "the KAV window to be shown")
        return self.window

    def window_geometry(self):
        info = subprocess.run(["xwininfo", "-id", self.window], capture_output=True, text=True, check=True).stdout
        values = {}
        for line in info.splitlines():
            line = line.strip()
            for key in ("Width", "Height"):
                if line.startswith(key + ":"):
                    values[key] = int(line.split(":")[1])
        return values["Width"], values["Height"]

    def window_name(self):
        return subprocess.run(["xdotool", "getwindowname", self.window], capture_output=True, text=True).stdout.strip()

    @property
    def artifacts(self):
        return ARTIFACTS

    def screenshot(self, name):
        os.makedirs(ARTIFACTS, exist_ok=True)
        path = os.path.join(ARTIFACTS, name + ".png")
        subprocess.run(["import", "-window", self.window, path], check=True, capture_output=True)
        return path

    def click(self, x, y):
        """A left click at window pixel (x, y), after moving there as a hand would."""
        subprocess.run(["xdotool", "mousemove", "--window", self.window, str(x), str(y)], check=True)
        self.settle()
        subprocess.run(["xdotool", "click", "1"], check=True)
        self.settle()

    def keys(self, *names):
        subprocess.run(["xdotool", "key", "--window", self.window, *names], check=True)
        self.settle()

    def hold(self, name, seconds):
        subprocess.run(["xdotool", "keydown", "--window", self.window, name], check=True)
        time.sleep(seconds)
        subprocess.run(["xdotool", "keyup", "--window", self.window, name], check=True)

    def hold_while(self, name, action):
        """Holds a key down while `action` runs (a screenshot of what it shows)."""
        subprocess.run(["xdotool", "keydown", "--window", self.window, name], check=True)
        self.settle()
        try:
            return action()
        finally:
            subprocess.run(["xdotool", "keyup", "--window", self.window, name], check=True)
            self.settle()

    def settle(self):
        """A few frames for the game to take in what a player just did."""
        time.sleep(0.3 * TIME_FACTOR)

    def wait_for_screen(self, name, crop, looks_right, what, timeout=START_TIMEOUT):
        """Takes screenshots until the cropped part satisfies `looks_right(r, g, b)`
        (mean channels in 0..1); the log file is only complete once the game ends."""

        def check():
            path = self.screenshot(name)
            return path if looks_right(*mean_colour(path, crop)) else None

        return wait_until(check, timeout, what)

    def signal(self, number):
        self.process.send_signal(number)

    def close_window(self):
        subprocess.run([CLOSE_WINDOW, self.window], check=True)

    def wait_exit(self, timeout=EXIT_TIMEOUT):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise AssertionError(f"the game did not end within {timeout}s")

    def output(self):
        """What the game printed on its console so far."""
        return self.read("stdout.txt")

    def read(self, name):
        """A file of the game's directory, or the console file."""
        directory = self.workdir if name == "stdout.txt" else self.rundir
        with open(os.path.join(directory, name), encoding="latin-1") as file:
            return file.read()

    def log(self):
        return self.read("kav.log")

    def cleanup(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self._console.close()
        shutil.rmtree(self.workdir, ignore_errors=True)


def log_messages(log_text):
    """The messages of kav.log's report lines, without the time stamp."""
    return [line[9:] for line in log_text.splitlines() if len(line) > 9 and line[2] == ":" and line[5] == ":"]


def mean_colour(png_path, crop):
    """Mean red, green and blue in 0..1 of a crop 'WxH+X+Y' of the image."""
    command = ["convert", png_path, "-crop", crop, "+repage", "-format", "%[fx:mean.r] %[fx:mean.g] %[fx:mean.b]", "info:"]
    output = subprocess.run(command, capture_output=True, text=True, check=True).stdout
    return tuple(float(value) for value in output.split())


def mean_brightness(png_path, crop=None):
    """Mean of all channels in 0..1 of the image or of a crop 'WxH+X+Y'."""
    command = ["convert", png_path]
    if crop:
        command += ["-crop", crop, "+repage"]
    command += ["-colorspace", "gray", "-format", "%[fx:mean]", "info:"]
    return float(subprocess.run(command, capture_output=True, text=True, check=True).stdout)


