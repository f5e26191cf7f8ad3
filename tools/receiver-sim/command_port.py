"""The receiver's command port (TCP, 12345 by default).

Requests and replies are framed by an 8-character left-aligned decimal length
("%-8d") and hold fields separated by "[]:[]". The receiver answers three
commands:

- Record_GetPartitionSize: the recording partition's size in megabytes;
- Record_GetFreeMBSize: its free megabytes;
- Record_DeleteByKeyList[]:[]KIND[]:[]KEY...: deletes the recording folders
  of the TV (kind 1) or radio (kind 2) archive whose keys are listed, and
  answers "TRUE", or "FALSE" when it refused (unknown kind, a key that names
  no recording, a folder that could not be removed). A folder without a key
  (fewer than two "_" in its path) matches no key, so -1 deletes nothing.

A recording folder's key is the number between the last two "_" of its path,
read the way the application reads it. Unknown commands are answered
"FALSE". A length field that is not a positive number closes the connection.
"""

import logging
import os
import re
import shutil
import socket

from pyftpdlib.ioloop import Acceptor, AsyncChat

import receiver_layout

log = logging.getLogger("receiver-sim")

SEPARATOR = b"[]:[]"
LENGTH_FIELD = 8
MAX_BODY = 64 * 1024
ARCHIVES = {1: receiver_layout.TV_ARCHIVE, 2: receiver_layout.RADIO_ARCHIVE}


def key_from_path(path):
    """The number between the last two "_" (digits only, none gives 0); -1
    when the path holds fewer than two "_"."""
    last = path.rfind("_")
    before = path.rfind("_", 0, last) if last > 0 else -1
    if last < 0 or before < 0:
        return -1
    digits = re.match(r"\d*", path[before + 1:last]).group(0)
    return int(digits) if digits else 0


def frame(body):
    return b"%-8d" % len(body) + body


class Figures:
    """The partition figures answered: fixed by options, else the disk's."""

    def __init__(self, root, total_mb=None, free_mb=None):
        self.root = root
        self.total_mb = total_mb
        self.free_mb = free_mb

    def total(self):
        if self.total_mb is not None:
            return self.total_mb
        return shutil.disk_usage(self.root).total // (1024 * 1024)

    def free(self):
        if self.free_mb is not None:
            return self.free_mb
        return shutil.disk_usage(self.root).free // (1024 * 1024)


def delete_by_keys(root, kind, keys):
    """Removes the recordings of that kind with those keys; False when refused."""
    archive = ARCHIVES.get(kind)
    if archive is None:
        return False
    folder = os.path.join(root, archive)
    try:
        names = sorted(os.listdir(folder))
    except OSError:
        return False
    by_key = {}
    for name in names:
        path = os.path.join(folder, name)
        key = key_from_path("/" + archive + "/" + name)
        if os.path.isdir(path) and key != -1:
            by_key.setdefault(key, []).append(path)
    if any(key not in by_key for key in keys):
        return False
    for key in keys:
        for path in by_key[key]:
            try:
                shutil.rmtree(path)
            except OSError as err:
                log.warning("command port: cannot delete %s: %s", path, err)
                return False
            log.info("command port: deleted recording %s", os.path.basename(path))
    return True


class CommandConnection(AsyncChat):
    def __init__(self, sock, ioloop, root, figures):
        AsyncChat.__init__(self, sock, ioloop=ioloop)
        self.root = root
        self.figures = figures
        self.data = []
        self.body_length = None
        self.set_terminator(LENGTH_FIELD)

    def collect_incoming_data(self, data):
        self.data.append(data)

    def found_terminator(self):
        received = b"".join(self.data)
        self.data = []
        if self.body_length is None:
            match = re.match(rb"\s*(\d+)", received)
            length = int(match.group(1)) if match else 0
            if not 0 < length <= MAX_BODY:
                log.warning("command port: bad length field %r; closing", received)
                self.close_when_done()
                return
            self.body_length = length
            self.set_terminator(length)
            return
        self.body_length = None
        self.set_terminator(LENGTH_FIELD)
        self.push(frame(self.answer(received)))

    def answer(self, body):
        fields = body.split(SEPARATOR)
        command = fields[0].decode("latin-1").strip()
        log.info("command port <- %s", body.decode("latin-1"))
        if command == "Record_GetPartitionSize":
            return b"%d" % self.figures.total()
        if command == "Record_GetFreeMBSize":
            return b"%d" % self.figures.free()
        if command == "Record_DeleteByKeyList":
            try:
                kind = int(fields[1])
                keys = [int(field) for field in fields[2:]]
            except (IndexError, ValueError):
                return b"FALSE"
            return b"TRUE" if delete_by_keys(self.root, kind, keys) else b"FALSE"
        return b"FALSE"

    def handle_error(self):
        log.exception("command port connection failed")
        self.close()


class CommandPort(Acceptor):
    def __init__(self, sock, ioloop, root, figures):
        Acceptor.__init__(self, ioloop=ioloop)
        self.root = root
        self.figures = figures
        self.set_socket(sock)
        self.listen(5)

    def handle_accepted(self, sock, addr):
        CommandConnection(sock, self.ioloop, self.root, self.figures)


def start_command_port(ioloop, address, port, root, total_mb=None, free_mb=None):
    """Serves the command port on (address, port) in the simulator's loop;
    returns the listener, or None when the port cannot be had."""
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    try:
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        sock.bind((address, port))
    except OSError as err:
        sock.close()
        log.error("cannot listen on the command port %s:%d: %s", address, port, err.strerror or err)
        return None
    sock.setblocking(False)
    return CommandPort(sock, ioloop, root, Figures(root, total_mb, free_mb))
