#!/usr/bin/env python3
"""FTP throughput of our client against curl, on the receiver simulator.

  bench/ftp_throughput.py [--build DIR] [--size-mb 1024] [--repeats 3] [--work DIR]
                          [--address 127.0.0.1] [--port 52021]

Makes a file of SIZE MiB of random bytes, starts tools/receiver-sim on the
loopback address with its own high ports and a receiver root of its own,
then in the same run and against the same server downloads and uploads the
file with our client (vantrel-ftp-transfer, target of bench/ftp.cmake: the
application's CFTPClient in 2048-byte chunks with a counting observer) and
with `curl -P ADDRESS` (active mode, as the receiver needs). One download by
each client and every upload are checked against the source (size and
SHA-256); the timed downloads go to /dev/null. Prints each throughput and
our/curl ratio per direction; the best of REPEATS runs counts. Times are
whole runs of each program (login, transfer, QUIT) measured the same way.
Exit code 1 when our download is below 0.8 of curl's.
"""
import argparse
import hashlib
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SIM = os.path.join(ROOT, "tools", "receiver-sim", "receiver-sim")
PIN = "8157"
REMOTE_DIR = "/ftproot/Timeshift"
MIB = 1024 * 1024
REQUIRED_DOWNLOAD_RATIO = 0.8


def make_file(path, size_mb):
    block = os.urandom(MIB)
    with open(path, "wb") as f:
        for n in range(size_mb):
            # A fresh block now and then, so no stretch of the file repeats often.
            if n % 64 == 63:
                block = os.urandom(MIB)
            f.write(block)


def sha256(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for chunk in iter(lambda: f.read(4 * MIB), b""):
            h.update(chunk)
    return h.hexdigest()


class Simulator:
    def __init__(self, address, port, root, work):
        self.ready = os.path.join(work, "sim-ready")
        self.log = open(os.path.join(work, "sim.log"), "wb")
        self.args = [SIM, "--address", address, "--ftp-port", str(port + 100), "--channel-port", str(port),
                     "--command-port", str(port + 324), "--root", root, "--ready-file", self.ready,
                     "--log-level", "warning"]
        self.proc = None

    def start(self, bound=30):
        os.mkfifo(self.ready)
        fifo = os.open(self.ready, os.O_RDONLY | os.O_NONBLOCK)
        try:
            self.proc = subprocess.Popen(self.args, stdin=subprocess.DEVNULL, stdout=self.log, stderr=self.log)
            deadline = time.monotonic() + bound
            while time.monotonic() < deadline:
                if self.proc.poll() is not None:
                    raise RuntimeError("the simulator ended with %d (see %s)" % (self.proc.returncode, self.log.name))
                readable, _, _ = select.select([fifo], [], [], 0.2)
                if readable and os.read(fifo, 64).startswith(b"ready"):
                    return
            raise RuntimeError("the simulator did not get ready within %d s" % bound)
        finally:
            os.close(fifo)

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.log.close()


def timed(args):
    start = time.perf_counter()
    done = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    seconds = time.perf_counter() - start
    if done.returncode != 0:
        raise RuntimeError("%s failed (%d): %s" % (args[0], done.returncode, done.stderr.strip()))
    return seconds, done.stdout.strip()


def check_copy(path, size, digest, what):
    actual = os.path.getsize(path)
    if actual != size:
        raise RuntimeError("%s: %d bytes instead of %d" % (what, actual, size))
    if sha256(path) != digest:
        raise RuntimeError("%s: the checksum differs from the source" % what)
    os.remove(path)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build", default=os.environ.get("VANTREL_BUILD_DIR", os.path.join(ROOT, "build")))
    ap.add_argument("--size-mb", type=int, default=1024)
    ap.add_argument("--repeats", type=int, default=3)
    ap.add_argument("--work", help="folder for the files (default: a temporary folder, removed afterwards)")
    ap.add_argument("--address", default="127.0.0.1", help="loopback address of the simulator")
    ap.add_argument("--port", type=int, default=52021, help="its channel port (the other ports follow from it)")
    args = ap.parse_args()

    tool = os.path.join(args.build, "bench", "vantrel-ftp-transfer")
    if not os.access(tool, os.X_OK):
        sys.exit("no %s: build the target vantrel-ftp-transfer first (a Release or RelWithDebInfo build)" % tool)
    if not shutil.which("curl"):
        sys.exit("no curl (Debian package curl)")
    if not args.address.startswith("127."):
        sys.exit("the benchmark runs on loopback only")

    work = args.work or tempfile.mkdtemp(prefix="ftp-bench-")
    os.makedirs(work, exist_ok=True)
    root = os.path.join(work, "receiver")
    served_dir = root + REMOTE_DIR
    os.makedirs(served_dir, exist_ok=True)
    source = os.path.join(served_dir, "bench.bin")
    print("making %d MiB of random bytes in %s" % (args.size_mb, source), flush=True)
    make_file(source, args.size_mb)
    size = os.path.getsize(source)
    digest = sha256(source)
    # Each transfer starts with nothing left to write back: a gigabyte of dirty
    # pages from the last step would throttle whichever client runs next.
    os.sync()

    url = "ftp://root:%s@%s:%d" % (PIN, args.address, args.port)
    sim = Simulator(args.address, args.port, root, work)
    best = {}
    chunks = None
    try:
        sim.start()
        # Each client's download is checked once, untimed; the timed ones go to
        # /dev/null. Writing a fresh gigabyte into the page cache costs more
        # than the transfer on a virtual machine (memory the guest touches
        # first is slow) and would drown the clients' own difference.
        for client, command, copy in (
                ("ours", [tool, "get", args.address, str(args.port), PIN, REMOTE_DIR + "/bench.bin",
                          os.path.join(work, "ours.bin")], os.path.join(work, "ours.bin")),
                ("curl", ["curl", "-sS", "-P", args.address, "-o", os.path.join(work, "curl.bin"),
                          url + REMOTE_DIR + "/bench.bin"], os.path.join(work, "curl.bin"))):
            timed(command)
            check_copy(copy, size, digest, "%s download" % client)
        os.sync()
        for run in range(args.repeats):
            jobs = [
                ("download", "ours", [tool, "get", args.address, str(args.port), PIN, REMOTE_DIR + "/bench.bin",
                                      os.devnull], None),
                ("download", "curl", ["curl", "-sS", "-P", args.address, "-o", os.devnull,
                                      url + REMOTE_DIR + "/bench.bin"], None),
                ("upload", "ours", [tool, "put", args.address, str(args.port), PIN, REMOTE_DIR + "/up-ours.bin",
                                    source], os.path.join(served_dir, "up-ours.bin")),
                ("upload", "curl", ["curl", "-sS", "-P", args.address, "-T", source,
                                    url + REMOTE_DIR + "/up-curl.bin"], os.path.join(served_dir, "up-curl.bin")),
            ]
            if run % 2 == 1:  # which client goes first alternates from run to run
                jobs = [jobs[1], jobs[0], jobs[3], jobs[2]]
            for direction, client, command, copy in jobs:
                seconds, output = timed(command)
                if client == "ours" and direction == "download":
                    chunks = output
                if copy is not None:
                    check_copy(copy, size, digest, "%s %s" % (client, direction))
                    os.sync()
                rate = size / MIB / seconds
                print("run %d  %-8s %-4s %7.2f s %8.1f MiB/s" % (run + 1, direction, client, seconds, rate),
                      flush=True)
                key = (direction, client)
                best[key] = max(best.get(key, 0.0), rate)
    finally:
        sim.stop()
        if not args.work:
            shutil.rmtree(work, ignore_errors=True)

    print()
    print("file: %d MiB on %s, best of %d" % (args.size_mb, args.address, args.repeats))
    if chunks:
        print("our download: %s" % chunks)
    verdict = 0
    for direction in ("download", "upload"):
        ours, curl = best[(direction, "ours")], best[(direction, "curl")]
        ratio = ours / curl
        note = ""
        if direction == "download":
            ok = ratio >= REQUIRED_DOWNLOAD_RATIO
            note = "  (needs >= %.1f: %s)" % (REQUIRED_DOWNLOAD_RATIO, "ok" if ok else "TOO SLOW")
            verdict = 0 if ok else 1
        print("%-8s ours %8.1f MiB/s  curl %8.1f MiB/s  ratio %.2f%s" % (direction, ours, curl, ratio, note))
    return verdict


if __name__ == "__main__":
    sys.exit(main())
