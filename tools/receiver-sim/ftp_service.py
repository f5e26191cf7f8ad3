"""The receiver's FTP service on pyftpdlib.

The receiver greets with 220, takes the user "root" with the PIN code as
password, names its model and software version in the logon reply, opens
data connections only in active mode (PORT), lists folders in the Unix long
form and answers SIZE in either transfer type.
"""

import os
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS, FilesystemError
from pyftpdlib.handlers import DTPHandler, FTPHandler, ThrottledDTPHandler, proto_cmds

USER = "root"
# Everything but changing file modes: enter, list, retrieve, append, delete,
# rename, make folders, store, set times.
PERMISSIONS = "elradfmwT"
PASSIVE_COMMANDS = ("PASV", "EPSV")


class ReceiverFS(AbstractedFS):
    """The receiver's files all belong to root, whoever runs the simulator."""

    def get_user_by_uid(self, uid):
        return USER

    def get_group_by_gid(self, gid):
        return USER


class ReceiverFTPHandler(FTPHandler):
    banner = "Receiver FTP service ready."
    abstracted_fs = ReceiverFS
    # Not advertised in FEAT or HELP; refused in pre_process_command.
    proto_cmds = {name: entry for name, entry in proto_cmds.items() if name not in PASSIVE_COMMANDS}
    # A refused PIN is answered promptly, so that clients and their tests need not wait long.
    auth_failed_timeout = 0.2
    permit_foreign_addresses = False
    use_gmt_times = True

    # Seconds every reply and every data connection waits, as on a receiver
    # that answers at its own pace (0: at once).
    reply_delay = 0.0

    def respond(self, resp, *args, **kwargs):
        if self.reply_delay <= 0:
            super().respond(resp, *args, **kwargs)
            return
        # Each reply is due a delay after it was made and never before the one
        # made earlier, so that the order stays.
        due = max(time.monotonic() + self.reply_delay, getattr(self, "_reply_due", 0.0))
        self._reply_due = due
        send = super().respond

        def later():
            if not self._closed:
                send(resp, *args, **kwargs)

        self.ioloop.call_later(max(0.0, due - time.monotonic()), later)

    def close_when_done(self):
        # After the replies still waiting (the goodbye of QUIT among them).
        wait = getattr(self, "_reply_due", 0.0) - time.monotonic()
        if self.reply_delay <= 0 or wait <= 0:
            super().close_when_done()
            return
        close = super().close_when_done
        self.ioloop.call_later(wait, lambda: None if self._closed else close())

    def _make_eport(self, ip, port):
        if self.reply_delay <= 0:
            super()._make_eport(ip, port)
            return
        connect = super()._make_eport

        def later():
            if not self._closed:
                connect(ip, port)

        self.ioloop.call_later(self.reply_delay, later)

    def pre_process_command(self, line, cmd, arg):
        if cmd in PASSIVE_COMMANDS:
            # The receiver has no passive mode.
            self.logline("<- %s" % line)
            self.respond("502 %s not implemented: use PORT." % cmd)
            return
        super().pre_process_command(line, cmd, arg)

    def ftp_SIZE(self, path):
        # Answered in ASCII mode too, with the stored byte count: clients
        # ask for the size before they switch to TYPE I.
        line = self.fs.fs2ftp(path)
        if not self.fs.isfile(self.fs.realpath(path)):
            self.respond("550 %s is not retrievable." % line)
            return
        try:
            size = self.run_as_current_user(self.fs.getsize, path)
        except (OSError, FilesystemError) as err:
            self.respond("550 %s." % (getattr(err, "strerror", None) or err))
        else:
            self.respond("213 %s" % size)


def make_handler(throttle, reply_delay_ms=0):
    """A handler class for one receiver; throttle limits each data connection
    to that many bytes per second (0: unlimited); reply_delay_ms delays every
    reply and every data connection (0: none). Serves nobody until
    authorize() gives it the receiver's user."""
    if throttle > 0:
        dtp = type("ReceiverThrottledDTP", (ThrottledDTPHandler,), {"read_limit": throttle, "write_limit": throttle})
    else:
        dtp = DTPHandler
    return type("ConfiguredReceiverFTPHandler", (ReceiverFTPHandler,),
                {"authorizer": DummyAuthorizer(), "dtp_handler": dtp, "reply_delay": reply_delay_ms / 1000.0})


def authorize(handler, root, pin, version_text):
    """Lets "root" log in with pin to the existing folder root; version_text is
    the text of the final logon reply after "230 "."""
    handler.authorizer.add_user(USER, pin, os.path.abspath(root), perm=PERMISSIONS, msg_login=version_text,
                                msg_quit="Goodbye.")
