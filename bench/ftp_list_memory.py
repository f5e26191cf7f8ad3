#!/usr/bin/env python3
"""Peak memory of one large directory listing with our FTP client.

  bench/ftp_list_memory.py [--build DIR] [--size-mb 61] [--line-bytes 40] [--address 127.0.0.1]

Serves one LIST reply of SIZE MiB of Unix long lines (about LINE-BYTES each, the
short lines are the worst case: one entry per few bytes) from a minimal FTP
server on loopback, in active mode as the receiver does, runs
vantrel-ftp-transfer list under /usr/bin/time -v and prints its peak
resident memory against the listing's size. Exit code 1 when the peak is
above 4 times the listing.
"""
import argparse
import os
import re
import socket
import subprocess
import sys
import threading

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MIB = 1024 * 1024
ALLOWED_RATIO = 4.0


def make_listing(size, line_bytes):
    """Unix long lines with distinct names, padded to about line_bytes."""
    head = "-rw-r--r-- 1 root root 1 Jan 1 10:00 "
    name_len = max(6, line_bytes - len(head) - 2)
    lines = []
    total = 0
    n = 0
    while total < size:
        line = "%s%0*d\r\n" % (head, name_len, n)
        lines.append(line)
        total += len(line)
        n += 1
    return "".join(lines).encode("ascii"), n


class ListingServer(threading.Thread):
    """Logs anyone in and answers every LIST with the same listing."""

    def __init__(self, address, listing):
        super().__init__(daemon=True)
        self.listing = listing
        self.sock = socket.create_server((address, 0))
        self.port = self.sock.getsockname()[1]

    def run(self):
        conn, _ = self.sock.accept()
        with conn, conn.makefile("rb") as lines:
            conn.sendall(b"220 ready\r\n")
            data_address = None
            for raw in lines:
                verb, _, arg = raw.decode("latin-1").strip().partition(" ")
                verb = verb.upper()
                if verb == "USER":
                    conn.sendall(b"331 PIN please\r\n")
                elif verb == "PASS":
                    conn.sendall(b"230 logged in\r\n")
                elif verb == "TYPE":
                    conn.sendall(b"200 type set\r\n")
                elif verb == "PORT":
                    n = [int(x) for x in arg.split(",")]
                    data_address = (".".join(map(str, n[:4])), n[4] * 256 + n[5])
                    conn.sendall(b"200 port set\r\n")
                elif verb == "LIST":
                    conn.sendall(b"150 listing\r\n")
                    with socket.create_connection(data_address) as data:
                        data.sendall(self.listing)
                    conn.sendall(b"226 done\r\n")
                elif verb == "QUIT":
                    conn.sendall(b"221 bye\r\n")
                    return
                else:
                    conn.sendall(b"502 not here\r\n")


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build", default=os.environ.get("VANTREL_BUILD_DIR", os.path.join(ROOT, "build")))
    ap.add_argument("--size-mb", type=float, default=61)
    ap.add_argument("--line-bytes", type=int, default=45)
    ap.add_argument("--address", default="127.0.0.1")
    args = ap.parse_args()
    tool = os.path.join(args.build, "bench", "vantrel-ftp-transfer")
    if not os.access(tool, os.X_OK):
        sys.exit("no %s: build the target vantrel-ftp-transfer first" % tool)

    listing, count = make_listing(int(args.size_mb * MIB), args.line_bytes)
    server = ListingServer(args.address, listing)
    server.start()
    done = subprocess.run(["/usr/bin/time", "-v", tool, "list", args.address, str(server.port), "8157", "/big", "-"],
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    server.join(30)
    if done.returncode != 0:
        sys.exit("the listing failed (%d): %s" % (done.returncode, done.stderr.strip()))
    peak_kb = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", done.stderr).group(1))
    ratio = peak_kb * 1024 / len(listing)
    print("listing %.1f MiB, %d lines; client: %s" % (len(listing) / MIB, count, done.stdout.strip()))
    print("peak memory %.1f MiB, %.2f times the listing (allowed %.1f)" % (peak_kb / 1024, ratio, ALLOWED_RATIO))
    return 0 if ratio <= ALLOWED_RATIO else 1


if __name__ == "__main__":
    sys.exit(main())
