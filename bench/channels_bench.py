#!/usr/bin/env python3
"""Channel list load/save benchmark against xmllint on the same files.

  bench/channels_bench.py [--build DIR] [--sizes 5000,10000,20000,40000] [--repeats 3]

For each size it generates a list with tests/data/channels/make_channel_list.py
(N TV services + N/5 radio), then times, in the same run and on the same file:
  load  ReadChannelFile (IXML parse, walk, free)   best of REPEATS
  save  WriteChannelFile (bytes, temp file, fsync, rename)
  xmllint  `xmllint --noout FILE` (a whole process: start-up included)
and prints each against xmllint, and the growth from each size to the next
(time ratio over size ratio: 1.0 is linear). Needs the build's
vantrel-channels-bench (cmake target of bench/channels.cmake) and xmllint
(Debian package libxml2-utils).
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def best_of(repeats, fn):
    best = None
    for _ in range(repeats):
        t = fn()
        best = t if best is None or t < best else best
    return best


def run_xmllint(path):
    start = time.perf_counter()
    subprocess.run(["xmllint", "--noout", path], check=True)
    return (time.perf_counter() - start) * 1000.0


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build", default=os.environ.get("VANTREL_BUILD_DIR", os.path.join(ROOT, "build")))
    ap.add_argument("--sizes", default="5000,10000,20000,40000")
    ap.add_argument("--repeats", type=int, default=3)
    args = ap.parse_args()

    tool = os.path.join(args.build, "bench", "vantrel-channels-bench")
    if not os.access(tool, os.X_OK):
        sys.exit("no %s: build the target vantrel-channels-bench first" % tool)
    if shutil.which("xmllint") is None:
        sys.exit("no xmllint: apt-get install libxml2-utils")
    generator = os.path.join(ROOT, "tests", "data", "channels", "make_channel_list.py")
    sizes = [int(s) for s in args.sizes.split(",")]

    rows = []
    with tempfile.TemporaryDirectory() as tmp:
        for n in sizes:
            path = os.path.join(tmp, "scale-%d.xml" % n)
            subprocess.run([sys.executable, generator, "scale", str(n), path], check=True)
            out = subprocess.run([tool, path, str(args.repeats)], check=True, capture_output=True, text=True).stdout
            fields = dict(kv.split("=") for kv in out.split())
            lint = best_of(args.repeats, lambda: run_xmllint(path))
            rows.append(dict(n=n, services=int(fields["services"]), bytes=int(fields["bytes"]),
                             load=float(fields["load_ms"]), save=float(fields["save_ms"]), lint=lint,
                             same=fields["identical"]))

    print("%8s %9s %10s %9s %9s %11s %9s %10s" % ("TV", "services", "bytes", "load ms", "save ms", "xmllint ms",
                                                 "load/xml", "identical"))
    for r in rows:
        print("%8d %9d %10d %9.1f %9.1f %11.1f %9.2f %10s" % (r["n"], r["services"], r["bytes"], r["load"], r["save"],
                                                             r["lint"], r["load"] / r["lint"], r["same"]))
    print()
    print("growth from size to size (time ratio / size ratio; 1.00 = linear)")
    print("%16s %10s %14s %14s %14s" % ("step", "size x", "load x", "save x", "xmllint x"))
    for a, b in zip(rows, rows[1:]):
        k = b["bytes"] / a["bytes"]
        print("%16s %10.2f %8.2f (%.2f) %8.2f (%.2f) %8.2f (%.2f)" % (
            "%d -> %d" % (a["n"], b["n"]), k, b["load"] / a["load"], b["load"] / a["load"] / k,
            b["save"] / a["save"], b["save"] / a["save"] / k, b["lint"] / a["lint"], b["lint"] / a["lint"] / k))
    if any(r["same"] != "yes" for r in rows):
        sys.exit("a saved file differs from its input")


if __name__ == "__main__":
    main()
