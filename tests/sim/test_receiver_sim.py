"""Tests of tools/receiver-sim over FTP on loopback, in active mode as the
application uses it. Each simulator gets its own loopback address."""

import ftplib
import io
import os
import re
import select
import shutil
import signal
import socket
import subprocess
import tempfile
import time
import unittest

SOURCE_DIR = os.environ.get("VANTREL_SOURCE_DIR") or os.path.abspath(
    os.path.join(os.path.dirname(__file__), "..", ".."))
SIM_DIR = os.path.join(SOURCE_DIR, "tools", "receiver-sim")
SIM = os.path.join(SIM_DIR, "receiver-sim")
SAMPLE_CHANNELS = os.path.join(SIM_DIR, "sample", "channel.xml")

FTP_PORT = 2121
CHANNEL_PORT = 50021
BOUND = 15  # seconds any single wait may take

CHANNEL_FILE = "/ftproot/System/Programmliste (Channel List)/channel.xml"
TV_ARCHIVE = "/ftproot/Aufnahmen-Archiv (Recording Archive)/TV-Aufnahmen (TV Records)"
RADIO_ARCHIVE = "/ftproot/Aufnahmen-Archiv (Recording Archive)/Radio-Aufnahmen (Radio Records)"

UNIX_LINE = re.compile(r"^(?P<attrs>[dl-][rwxsStT-]{9})\s+\d+\s+(?P<owner>\S+)\s+(?P<group>\S+)\s+(?P<size>\d+)\s+"
                       r"[A-Z][a-z]{2}\s+\d{1,2}\s+(?:\d{2}:\d{2}|\d{4})\s(?P<name>.+)$")


def key_from_path(path):
    """The recordings window's key: the number between the last two "_"."""
    last = path.rfind("_")
    before = path.rfind("_", 0, last) if last > 0 else -1
    if last < 0 or before < 0:
        return -1
    digits = re.match(r"\d*", path[before + 1:last]).group(0)
    return int(digits) if digits else 0


def version_from_reply(text):
    """The client's version rule: the model word, one more character, then digits and dots."""
    start = text.find("Zarn")
    if start < 0:
        return None
    end = start + 5
    while end < len(text) and (text[end].isdigit() or text[end] == "."):
        end += 1
    return text[start:min(end, len(text))]


class Simulator:
    """One simulator process; start() returns once its ports are open."""

    def __init__(self, address, root, *extra, ftp_port=FTP_PORT, channel_port=CHANNEL_PORT, preexec_fn=None):
        self.address = address
        self.root = root
        self.work = tempfile.mkdtemp(prefix="sim-run-")
        self.ready = os.path.join(self.work, "ready")
        self.log_path = os.path.join(self.work, "log")
        self.args = [SIM, "--address", address, "--ftp-port", str(ftp_port), "--channel-port", str(channel_port),
                     "--root", root, "--log-level", "warning", *extra]
        self.preexec_fn = preexec_fn
        self.proc = None

    def launch(self, ready_file=None):
        with open(self.log_path, "wb") as log:
            args = self.args + (["--ready-file", ready_file] if ready_file else [])
            self.proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                         preexec_fn=self.preexec_fn)

    def start(self):
        # The simulator writes "ready" into the FIFO; its pidfd turns readable if it dies first.
        os.mkfifo(self.ready)
        fifo = os.open(self.ready, os.O_RDONLY | os.O_NONBLOCK)
        try:
            self.launch(self.ready)
            pidfd = os.pidfd_open(self.proc.pid)
            try:
                readable, _, _ = select.select([fifo, pidfd], [], [], BOUND)
            finally:
                os.close(pidfd)
            if fifo not in readable or os.read(fifo, 64) != b"ready\n":
                self.stop()
                raise AssertionError("the simulator did not get ready:\n" + self.log())
        finally:
            os.close(fifo)
        return self

    def log(self):
        with open(self.log_path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(BOUND)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(BOUND)
        shutil.rmtree(self.work, ignore_errors=True)
        return self.proc.returncode if self.proc else None

    def client(self, port=FTP_PORT, pin="8157"):
        ftp = ftplib.FTP(timeout=BOUND, encoding="utf-8")
        ftp.set_pasv(False)
        ftp.connect(self.address, port)
        if pin is not None:
            ftp.login("root", pin)
        return ftp


def retrieve(ftp, path):
    data = io.BytesIO()
    ftp.retrbinary("RETR " + path, data.write)
    return data.getvalue()


def listing(ftp, path):
    lines = []
    ftp.retrlines("LIST " + path, lines.append)
    return lines


def names(lines):
    return [UNIX_LINE.match(line).group("name") for line in lines]


class ReceiverSimTest(unittest.TestCase):
    """The fresh receiver tree a new user meets, on 127.0.0.21."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="sim-root-")
        cls.sim = Simulator("127.0.0.21", os.path.join(cls.tmp, "receiver")).start()

    @classmethod
    def tearDownClass(cls):
        cls.sim.stop()
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def setUp(self):
        self.ftp = self.sim.client()

    def tearDown(self):
        self.ftp.close()

    def test_logon_with_pin_and_version(self):
        for port in (FTP_PORT, CHANNEL_PORT):
            ftp = self.sim.client(port, pin=None)
            self.assertEqual(ftp.getwelcome()[0], "2")
            reply = ftp.login("root", "8157")
            self.assertEqual(reply, "230 Zarn 1.2.10 ready")
            self.assertEqual(version_from_reply(reply), "Zarn 1.2.10")
            ftp.quit()
        for user, pin in (("root", "8158"), ("root", ""), ("admin", "8157")):
            ftp = self.sim.client(pin=None)
            with self.assertRaises(ftplib.error_perm) as refused:
                ftp.login(user, pin)
            self.assertTrue(str(refused.exception).startswith("530"), str(refused.exception))
            with self.assertRaises(ftplib.error_perm):
                ftp.nlst("/")  # still not logged in
            ftp.close()

    def test_both_ports_serve_one_tree(self):
        other = self.sim.client(CHANNEL_PORT)
        try:
            other.storbinary("STOR /ftproot/Timeshift/both.bin", io.BytesIO(b"same tree"))
            self.assertEqual(retrieve(self.ftp, "/ftproot/Timeshift/both.bin"), b"same tree")
            other.delete("/ftproot/Timeshift/both.bin")
        finally:
            other.close()

    def test_layout_on_first_start(self):
        with open(SAMPLE_CHANNELS, "rb") as f:
            self.assertEqual(retrieve(self.ftp, CHANNEL_FILE), f.read())
        self.assertIn("ftproot", names(listing(self.ftp, "/")))
        self.assertIn("Media", names(listing(self.ftp, "/ftproot")))
        keys = set()
        for archive, extension in ((TV_ARCHIVE, ".tts"), (RADIO_ARCHIVE, ".rts")):
            recordings = listing(self.ftp, archive)
            self.assertGreaterEqual(len(recordings), 2, archive)
            for line in recordings:
                entry = UNIX_LINE.match(line)
                self.assertEqual(entry.group("attrs")[0], "d", line)
                folder = archive + "/" + entry.group("name")
                files = [UNIX_LINE.match(f) for f in listing(self.ftp, folder)]
                media = [f for f in files if f.group("name").endswith(extension)]
                self.assertEqual(len(media), 1, folder)
                self.assertGreater(int(media[0].group("size")), 1024)
                for f in files:
                    key = key_from_path(folder + "/" + f.group("name"))
                    self.assertGreater(key, 0, folder)
                keys.add(key_from_path(folder + "/" + media[0].group("name")))
        self.assertEqual(len(keys), len(listing(self.ftp, TV_ARCHIVE)) + len(listing(self.ftp, RADIO_ARCHIVE)),
                         "every recording has its own key")

    def test_list_unix_long_form(self):
        for path in ("/", "/ftproot", "/ftproot/Media", "/ftproot/Media/Bilder (Pictures)", TV_ARCHIVE):
            lines = listing(self.ftp, path)
            self.assertTrue(lines, path)
            for line in lines:
                entry = UNIX_LINE.match(line)
                self.assertIsNotNone(entry, line)
                self.assertEqual((entry.group("owner"), entry.group("group")), ("root", "root"), line)
        media = {UNIX_LINE.match(line).group("name"): UNIX_LINE.match(line) for line in listing(self.ftp, "/ftproot/Media")}
        self.assertEqual(media["Bilder (Pictures)"].group("attrs")[0], "d")
        self.assertEqual(media["Liesmich.txt"].group("attrs")[0], "-")
        self.assertEqual(int(media["Liesmich.txt"].group("size")), len(retrieve(self.ftp, "/ftproot/Media/Liesmich.txt")))
        # Names are UTF-8 on the wire.
        self.assertIn("Grüße.txt", names(listing(self.ftp, "/ftproot/Media/Bilder (Pictures)")))

    def test_size_in_either_type(self):
        expected = len(retrieve(self.ftp, CHANNEL_FILE))
        for kind in ("A", "I"):
            self.ftp.voidcmd("TYPE " + kind)
            self.assertEqual(self.ftp.sendcmd("SIZE " + CHANNEL_FILE), "213 %d" % expected)
        for path in ("/ftproot/System", "/ftproot/missing.bin"):
            with self.assertRaises(ftplib.error_perm) as refused:
                self.ftp.sendcmd("SIZE " + path)
            self.assertTrue(str(refused.exception).startswith("550"))

    def test_store_and_retrieve_round_trip(self):
        self.ftp.mkd("/ftproot/Media/Upload")
        # Every byte value and bare CR and LF: image mode must not touch them.
        payload = bytes(range(256)) * 300 + b"\r\n\n\r\x00"
        for name, data in (("data.bin", payload), ("empty.bin", b"")):
            path = "/ftproot/Media/Upload/" + name
            self.ftp.storbinary("STOR " + path, io.BytesIO(data))
            self.assertEqual(retrieve(self.ftp, path), data)
            self.assertEqual(self.ftp.size(path), len(data))
        with self.assertRaises(ftplib.error_perm) as refused:
            self.ftp.storbinary("STOR /ftproot/No Such Folder/x.bin", io.BytesIO(b"x"))
        self.assertTrue(str(refused.exception).startswith("550"))
        with self.assertRaises(ftplib.error_perm):
            retrieve(self.ftp, "/ftproot/Media/Upload/missing.bin")
        self.assertEqual(self.ftp.sendcmd("NOOP")[:3], "200")

    def test_folder_commands(self):
        self.ftp.cwd("/ftproot/Media")
        self.ftp.mkd("Neu")
        self.ftp.cwd("Neu")
        self.assertEqual(self.ftp.pwd(), "/ftproot/Media/Neu")
        self.ftp.storbinary("STOR a.txt", io.BytesIO(b"a"))
        self.ftp.rename("a.txt", "b.txt")
        self.assertEqual(names(listing(self.ftp, ".")), ["b.txt"])
        self.ftp.voidcmd("CDUP")
        self.assertEqual(self.ftp.pwd(), "/ftproot/Media")
        with self.assertRaises(ftplib.error_perm):
            self.ftp.rmd("Neu")  # not empty
        self.ftp.delete("Neu/b.txt")
        self.ftp.rmd("Neu")
        self.assertNotIn("Neu", names(listing(self.ftp, ".")))
        with self.assertRaises(ftplib.error_perm):
            self.ftp.cwd("/ftproot/Nowhere")
        self.ftp.cwd("/ftproot/Media/..")
        self.assertEqual(self.ftp.pwd(), "/ftproot")

    def test_passive_mode_refused(self):
        for command in ("PASV", "EPSV"):
            with self.assertRaises(ftplib.error_perm) as refused:
                self.ftp.sendcmd(command)
            self.assertTrue(str(refused.exception).startswith("502"), str(refused.exception))
        self.assertNotIn("EPSV", self.ftp.sendcmd("FEAT"))
        # The same connection goes on in active mode.
        self.assertIn("System", names(listing(self.ftp, "/ftproot")))


class ThrottledSimTest(unittest.TestCase):
    """A receiver with its own PIN, version text and a slow network, on 127.0.0.22."""

    RATE = 64 * 1024

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="sim-root-")
        root = os.path.join(cls.tmp, "receiver")
        cls.sim = Simulator("127.0.0.22", root, "--pin", "4711", "--version-text", "Zarn_3.0 beta",
                            "--throttle", str(cls.RATE)).start()
        # Three seconds' worth: the limiter holds a connection back once it passed the rate twice.
        cls.payload = os.urandom(3 * cls.RATE)
        with open(os.path.join(root, "ftproot", "Media", "big.bin"), "wb") as f:
            f.write(cls.payload)

    @classmethod
    def tearDownClass(cls):
        cls.sim.stop()
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def test_own_pin_and_version_text(self):
        ftp = self.sim.client(pin=None)
        with self.assertRaises(ftplib.error_perm):
            ftp.login("root", "8157")
        ftp.close()
        ftp = self.sim.client(pin=None)
        reply = ftp.login("root", "4711")
        self.assertEqual(reply, "230 Zarn_3.0 beta")
        self.assertEqual(version_from_reply(reply), "Zarn_3.0")
        ftp.quit()

    def test_throttle_slows_both_directions(self):
        ftp = self.sim.client(pin="4711")
        started = time.monotonic()
        data = retrieve(ftp, "/ftproot/Media/big.bin")
        download = time.monotonic() - started
        started = time.monotonic()
        ftp.storbinary("STOR /ftproot/Media/up.bin", io.BytesIO(self.payload))
        upload = time.monotonic() - started
        self.assertEqual(retrieve(ftp, "/ftproot/Media/up.bin"), self.payload)
        ftp.delete("/ftproot/Media/up.bin")
        ftp.quit()
        self.assertEqual(data, self.payload)
        # Unthrottled, either takes milliseconds.
        self.assertGreater(download, 1.0)
        self.assertGreater(upload, 1.0)

    def test_abort_mid_download_keeps_session(self):
        ftp = self.sim.client(pin="4711")
        ftp.voidcmd("TYPE I")
        conn = ftp.transfercmd("RETR /ftproot/Media/big.bin")
        self.assertEqual(conn.recv(4096, socket.MSG_WAITALL), self.payload[:4096])
        ftp.sock.sendall(b"ABOR\r\n")
        replies = [ftp.getmultiline()]
        if replies[0].startswith("426"):
            replies.append(ftp.getmultiline())  # the reply to ABOR itself
        conn.close()
        self.assertTrue(replies[-1].startswith("226") or replies[-1].startswith("225"), replies)
        self.assertEqual(ftp.sendcmd("NOOP")[:3], "200")
        self.assertIn("big.bin", names(listing(ftp, "/ftproot/Media")))
        ftp.quit()


class CommandPortTest(unittest.TestCase):
    """The recorder's command port, on 127.0.0.24."""

    ADDRESS = "127.0.0.24"
    COMMAND_PORT = 12345

    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="sim-root-")
        self.root = os.path.join(self.tmp, "receiver")
        self.sim = Simulator(self.ADDRESS, self.root, "--command-port", str(self.COMMAND_PORT)).start()

    def tearDown(self):
        self.sim.stop()
        shutil.rmtree(self.tmp, ignore_errors=True)

    def ask(self, *fields):
        body = b"[]:[]".join(str(f).encode("latin-1") for f in fields)
        with socket.create_connection((self.ADDRESS, self.COMMAND_PORT), timeout=BOUND) as s:
            s.sendall(b"%-8d" % len(body) + body)
            reply = b""
            while len(reply) < 8 or len(reply) < 8 + int(reply[:8]):
                chunk = s.recv(4096)
                self.assertTrue(chunk, "the command port closed the connection")
                reply += chunk
        return reply[8:].decode("latin-1")

    def test_delete_by_key_touches_only_recordings_with_that_key(self):
        archive = os.path.join(self.root, TV_ARCHIVE.lstrip("/"))
        for name in ("Foo", "Bar"):
            os.mkdir(os.path.join(archive, name))
        keyed = sorted(n for n in os.listdir(archive) if key_from_path(TV_ARCHIVE + "/" + n) > 0)
        self.assertEqual(self.ask("Record_DeleteByKeyList", 1, -1), "FALSE")
        self.assertEqual(sorted(os.listdir(archive)), sorted(keyed + ["Foo", "Bar"]), "-1 names no recording")
        key = key_from_path(TV_ARCHIVE + "/" + keyed[0])
        self.assertEqual(self.ask("Record_DeleteByKeyList", 1, key), "TRUE")
        self.assertEqual(sorted(os.listdir(archive)), sorted(keyed[1:] + ["Foo", "Bar"]))


class LifecycleTest(unittest.TestCase):
    """Start and stop, on 127.0.0.23."""

    ADDRESS = "127.0.0.23"

    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="sim-root-")

    def tearDown(self):
        shutil.rmtree(self.tmp, ignore_errors=True)

    def test_existing_root_kept_and_sigterm_ends_cleanly(self):
        root = os.path.join(self.tmp, "receiver")
        os.mkdir(root)
        with open(os.path.join(root, "keep.txt"), "w") as f:
            f.write("mine")
        sim = Simulator(self.ADDRESS, root)
        # A plain ready file this time, as scripts use it.
        ready = os.path.join(self.tmp, "ready")
        sim.launch(ready)
        deadline = time.monotonic() + BOUND
        while not os.path.exists(ready):
            self.assertIsNone(sim.proc.poll(), sim.log())
            self.assertLess(time.monotonic(), deadline, "no ready file")
            time.sleep(0.05)
        with open(ready) as f:
            self.assertEqual(f.read(), "ready\n")
        ftp = sim.client()
        self.assertEqual(ftp.nlst("/"), ["keep.txt"])
        # A logged-in client does not hold the simulator up.
        sim.proc.send_signal(signal.SIGTERM)
        self.assertEqual(sim.proc.wait(BOUND), 0, sim.log())
        ftp.close()
        self.assertFalse(os.path.exists(ready), "the ready file outlived the simulator")
        for port in (FTP_PORT, CHANNEL_PORT):
            with socket.socket() as probe:
                probe.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
                probe.bind((self.ADDRESS, port))  # released
        sim.stop()

    def test_busy_port_reported(self):
        with socket.socket() as busy:
            busy.bind((self.ADDRESS, CHANNEL_PORT))
            busy.listen()
            sim = Simulator(self.ADDRESS, os.path.join(self.tmp, "receiver"))
            sim.launch()
            self.assertEqual(sim.proc.wait(BOUND), 4)  # the channel port's code
            message = sim.log()
            sim.stop()
        self.assertIn("127.0.0.23:%d" % CHANNEL_PORT, message)
        self.assertIn("--channel-port", message)
        self.assertFalse(os.path.exists(os.path.join(self.tmp, "receiver")), "files made despite the failure")

    def test_privileged_port_hint(self):
        with open("/proc/sys/net/ipv4/ip_unprivileged_port_start") as f:
            if int(f.read()) <= 21:
                self.skipTest("port 21 needs no privilege here")
        drop = (lambda: os.setuid(65534)) if os.geteuid() == 0 else None
        sim = Simulator(self.ADDRESS, os.path.join(self.tmp, "receiver"), ftp_port=21, preexec_fn=drop)
        sim.launch()
        self.assertEqual(sim.proc.wait(BOUND), 3)  # the FTP port's code
        message = sim.log()
        sim.stop()
        self.assertIn("127.0.0.23:21", message)
        self.assertIn("--ftp-port", message)


if __name__ == "__main__":
    unittest.main()
