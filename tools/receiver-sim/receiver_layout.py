"""The receiver's folder tree, laid out on first start.

The tree mirrors what the application reads: the channel list, the TV and
radio recording archives with one folder per recording, and a few other
folders and files for the file manager.
"""

import calendar
import hashlib
import os
import shutil

FTPROOT = "ftproot"
CHANNEL_FOLDER = "ftproot/System/Programmliste (Channel List)"
CHANNEL_FILE = CHANNEL_FOLDER + "/channel.xml"
ARCHIVE = "ftproot/Aufnahmen-Archiv (Recording Archive)"
TV_ARCHIVE = ARCHIVE + "/TV-Aufnahmen (TV Records)"
RADIO_ARCHIVE = ARCHIVE + "/Radio-Aufnahmen (Radio Records)"

SAMPLE_CHANNEL_LIST = os.path.join(os.path.dirname(os.path.abspath(__file__)), "sample", "channel.xml")

TS_PACKET = 188

# (title, date, time, key, packets, with info file). The application takes a
# recording's key from the number between the last two "_" of the file's path,
# so the folder name ends with "_<key>_" and the file names hold no "_".
TV_RECORDINGS = [
    ("Tagesschau", "20261201", "2000", 1001, 80, True),
    ("Tatort - Schattenlinie", "20261129", "2015", 1002, 96, False),
    ("Länderspiel", "20250614", "1800", 1003, 64, False),
]
RADIO_RECORDINGS = [
    ("Nachrichten am Morgen", "20261205", "0700", 2001, 24, False),
    ("Jazz am Abend", "20250322", "2100", 2002, 32, False),
]

# Other parts of the tree: (path, text or None for a folder, date).
OTHER_ENTRIES = [
    ("ftproot/Media", None, "20260110"),
    ("ftproot/Media/Musik (Music)", None, "20260110"),
    ("ftproot/Media/Bilder (Pictures)", None, "20260110"),
    ("ftproot/Media/Bilder (Pictures)/Grüße.txt", "Grüße vom Receiver.\n", "20260110"),
    ("ftproot/Media/Liesmich.txt", "Media files copied to the receiver appear here.\n", "20240301"),
    ("ftproot/System/Log", None, "20261208"),
    ("ftproot/System/Log/system.log", "boot ok\ntuner 1 locked\ntuner 2 locked\n", "20261208"),
    ("ftproot/Timeshift", None, "20261208"),
]


def _utc_seconds(date, hhmm="1200"):
    return calendar.timegm(
        (int(date[0:4]), int(date[4:6]), int(date[6:8]), int(hhmm[0:2]), int(hhmm[2:4]), 0, 0, 0, 0))


def transport_stream_bytes(seed, packets):
    """Bytes that look like a transport stream: sync byte, PID, counter, payload."""
    out = bytearray()
    block = hashlib.sha256(seed.encode("utf-8")).digest()
    for n in range(packets):
        out += bytes((0x47, 0x01, 0x00, 0x10 | (n & 0x0F)))
        payload = bytearray()
        while len(payload) < TS_PACKET - 4:
            block = hashlib.sha256(block).digest()
            payload += block
        out += payload[:TS_PACKET - 4]
    return bytes(out)


def _write(path, data, stamp):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    os.utime(path, (stamp, stamp))


def _add_recordings(root, archive, recordings, extension):
    for title, date, hhmm, key, packets, with_info in recordings:
        folder = os.path.join(root, archive, "%s_%s_%s_%d_" % (title, date, hhmm, key))
        stamp = _utc_seconds(date, hhmm)
        _write(os.path.join(folder, title + extension), transport_stream_bytes(title, packets), stamp)
        if with_info:
            info = "title=%s\nstart=%s %s\nkey=%d\n" % (title, date, hhmm, key)
            _write(os.path.join(folder, title + ".inf"), info.encode("utf-8"), stamp)
        os.utime(folder, (stamp, stamp))


def needs_layout(root):
    return not os.path.isdir(root) or not os.listdir(root)


def create_layout(root):
    """Lays out the receiver tree under root (which is missing or empty)."""
    if not os.path.isfile(SAMPLE_CHANNEL_LIST):
        raise FileNotFoundError("the sample channel list is missing: " + SAMPLE_CHANNEL_LIST)
    os.makedirs(os.path.join(root, CHANNEL_FOLDER), exist_ok=True)
    # copyfile, not copy: the copy must stay writable for "Send to PVR".
    shutil.copyfile(SAMPLE_CHANNEL_LIST, os.path.join(root, CHANNEL_FILE))
    _add_recordings(root, TV_ARCHIVE, TV_RECORDINGS, ".tts")
    _add_recordings(root, RADIO_ARCHIVE, RADIO_RECORDINGS, ".rts")
    for path, text, date in OTHER_ENTRIES:
        full = os.path.join(root, path)
        if text is None:
            os.makedirs(full, exist_ok=True)
        else:
            _write(full, text.encode("utf-8"), _utc_seconds(date))
    # Folders last: writing their files moved their times.
    for path, text, date in OTHER_ENTRIES:
        if text is None:
            stamp = _utc_seconds(date)
            os.utime(os.path.join(root, path), (stamp, stamp))
