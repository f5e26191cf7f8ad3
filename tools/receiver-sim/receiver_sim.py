#!/usr/bin/python3
"""Receiver simulator: stands in for the satellite receiver on a PC.

Serves a receiver root folder over FTP on two ports (the file manager's
port 21 and the channel port 50021, both the same tree) and serves the
command port (12345) of the recorder. Ends cleanly on SIGTERM or SIGINT.
"""

import argparse
import errno
import logging
import os
import signal
import socket
import stat
import sys

# The simulator runs from the source tree; keep it free of byte-code caches.
sys.dont_write_bytecode = True

from pyftpdlib.ioloop import IOLoop  # noqa: E402
from pyftpdlib.servers import FTPServer  # noqa: E402

import command_port  # noqa: E402
import ftp_service  # noqa: E402
import receiver_layout  # noqa: E402

EXIT_FAILURE = 1
# Which port could not be had, so that a script can retry with another one.
EXIT_FTP_PORT_UNAVAILABLE = 3
EXIT_CHANNEL_PORT_UNAVAILABLE = 4
EXIT_COMMAND_PORT_UNAVAILABLE = 5

DEFAULT_PIN = "8157"
DEFAULT_VERSION_TEXT = "Zarn 1.2.10 ready"

log = logging.getLogger("receiver-sim")


def default_root():
    data_home = os.environ.get("XDG_DATA_HOME") or os.path.join(os.path.expanduser("~"), ".local", "share")
    return os.path.join(data_home, "vantrel-receiver-sim")


def port_number(text):
    try:
        value = int(text)
    except ValueError:
        raise argparse.ArgumentTypeError("not a port number: %r" % text)
    if not 1 <= value <= 65535:
        raise argparse.ArgumentTypeError("port out of range 1-65535: %d" % value)
    return value


def byte_rate(text):
    try:
        value = int(text)
    except ValueError:
        raise argparse.ArgumentTypeError("not a number of bytes per second: %r" % text)
    if value < 0:
        raise argparse.ArgumentTypeError("the throttle cannot be negative: %d" % value)
    return value


def delay_ms(text):
    try:
        value = int(text)
    except ValueError:
        raise argparse.ArgumentTypeError("not a number of milliseconds: %r" % text)
    if value < 0:
        raise argparse.ArgumentTypeError("the reply delay cannot be negative: %d" % value)
    return value


def parse_args(argv):
    parser = argparse.ArgumentParser(
        prog="receiver-sim",
        description="Stands in for the satellite receiver: its FTP server on two ports, serving a "
        "receiver root folder (laid out with sample contents on first start).",
        epilog="Exit codes: 0 stopped by SIGTERM or SIGINT, 1 the root folder cannot be laid out, 2 bad options, "
        "3 the --ftp-port cannot be had, 4 the --channel-port cannot be had, 5 the --command-port cannot be had.")
    parser.add_argument("--address", default="127.0.0.1", help="IPv4 address to listen on (default %(default)s)")
    parser.add_argument("--ftp-port", type=port_number, default=21,
                        help="FTP port of the file manager (default %(default)s; below 1024 needs root)")
    parser.add_argument("--channel-port", type=port_number, default=50021,
                        help="FTP port of the connect dialog, channel list and recordings (default %(default)s)")
    parser.add_argument("--command-port", type=port_number, default=12345,
                        help="command port of the recorder (default %(default)s)")
    parser.add_argument("--record-total-mb", type=int, metavar="MB",
                        help="recording partition size answered on the command port (default: the root's disk)")
    parser.add_argument("--record-free-mb", type=int, metavar="MB",
                        help="free megabytes answered on the command port (default: the root's disk)")
    parser.add_argument("--root", default=default_root(),
                        help="receiver root folder, laid out on first start (default %(default)s)")
    parser.add_argument("--pin", default=DEFAULT_PIN, help="PIN code, the password of user root (default %(default)s)")
    parser.add_argument("--version-text", default=DEFAULT_VERSION_TEXT,
                        help="text of the final logon reply after \"230 \" (default %(default)r)")
    parser.add_argument("--throttle", type=byte_rate, default=0, metavar="BYTES_PER_SEC",
                        help="limit each data connection to this rate, for slow-network tests (0: unlimited)")
    parser.add_argument("--reply-delay", type=delay_ms, default=0, metavar="MS",
                        help="delay every FTP reply and every data connection by MS milliseconds, at a real "
                        "receiver's pace (0: none)")
    parser.add_argument("--ready-file", metavar="PATH",
                        help="write \"ready\\n\" to PATH once listening (a FIFO is written in place); "
                        "a regular file is removed again on exit")
    parser.add_argument("--log-level", default="info", choices=["debug", "info", "warning", "error"])
    args = parser.parse_args(argv)
    if args.ftp_port == args.channel_port:
        parser.error("--ftp-port and --channel-port must differ")
    if args.command_port in (args.ftp_port, args.channel_port):
        parser.error("--command-port must differ from the FTP ports")
    return args


def write_ready(path):
    """Tells a waiting script or test that the ports are open."""
    try:
        if stat.S_ISFIFO(os.stat(path).st_mode):
            # A reader waits on the FIFO; without one there is nobody to tell.
            fd = os.open(path, os.O_WRONLY | os.O_NONBLOCK)
            try:
                os.write(fd, b"ready\n")
            finally:
                os.close(fd)
            return False
    except FileNotFoundError:
        pass
    except OSError as err:
        log.warning("cannot write the ready FIFO %s: %s", path, err.strerror)
        return False
    # Written aside and renamed, so a waiter never sees a partial file.
    partial = "%s.%d.partial" % (path, os.getpid())
    with open(partial, "w") as f:
        f.write("ready\n")
    os.replace(partial, path)
    return True


def listen(ioloop, handler, address, port, option):
    # Bound here rather than by pyftpdlib, which drops the error number.
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    try:
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        sock.bind((address, port))
        return FTPServer(sock, handler, ioloop=ioloop)
    except OSError as err:
        sock.close()
        reason = err.strerror or str(err)
        hint = ""
        if err.errno == errno.EACCES and port < 1024:
            hint = "; ports below 1024 need root: run as root or choose another port with %s (e.g. %s 2121)" % (
                option, option)
        elif err.errno == errno.EADDRINUSE:
            hint = "; another server (maybe another simulator) uses it: stop it or choose another port with " + option
        elif err.errno == errno.EADDRNOTAVAIL:
            hint = "; the address is not on this machine: choose another with --address"
        print("receiver-sim: cannot listen on %s:%d: %s%s" % (address, port, reason, hint), file=sys.stderr)
        return None


def _stop(signum, frame):
    raise SystemExit(0)


def main(argv):
    args = parse_args(argv)
    logging.basicConfig(level=getattr(logging, args.log_level.upper()), stream=sys.stderr,
                        format="receiver-sim %(levelname)s %(message)s")
    signal.signal(signal.SIGTERM, _stop)
    signal.signal(signal.SIGINT, _stop)

    root = os.path.abspath(args.root)
    handler = ftp_service.make_handler(args.throttle, args.reply_delay)
    ioloop = IOLoop()
    servers = []
    ready_written = False
    try:
        for port, option, failure in ((args.ftp_port, "--ftp-port", EXIT_FTP_PORT_UNAVAILABLE),
                                      (args.channel_port, "--channel-port", EXIT_CHANNEL_PORT_UNAVAILABLE)):
            server = listen(ioloop, handler, args.address, port, option)
            if server is None:
                return failure
            servers.append(server)
        # Ports first: a port that cannot be had ends the run before any file is made.
        try:
            if receiver_layout.needs_layout(root):
                receiver_layout.create_layout(root)
                log.info("laid out a new receiver tree in %s", root)
        except OSError as err:
            print("receiver-sim: cannot lay out the receiver tree in %s: %s" % (root, err), file=sys.stderr)
            return EXIT_FAILURE
        ftp_service.authorize(handler, root, args.pin, args.version_text)
        # The command port shares the loop, so one loop serves every port.
        if command_port.start_command_port(ioloop, args.address, args.command_port, root, args.record_total_mb,
                                           args.record_free_mb) is None:
            return EXIT_COMMAND_PORT_UNAVAILABLE

        print("receiver-sim: FTP on %s ports %d and %d, user %s, PIN %s, root %s" % (
            args.address, args.ftp_port, args.channel_port, ftp_service.USER, args.pin, root), flush=True)
        if args.throttle:
            log.info("data connections throttled to %d bytes per second", args.throttle)
        if args.reply_delay:
            log.info("replies and data connections delayed by %d ms", args.reply_delay)
        if args.ready_file:
            ready_written = write_ready(args.ready_file)
        ioloop.loop()
    except SystemExit:
        log.info("stopping")
    finally:
        ioloop.close()
        if ready_written:
            try:
                os.remove(args.ready_file)
            except OSError:
                pass
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
