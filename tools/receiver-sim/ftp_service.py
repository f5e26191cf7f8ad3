"""The receiver's FTP service on pyftpdlib.

The receiver greets with 220, takes the user "root" with the PIN code as
password, names its model and software version in the logon reply, opens
data connections only in active mode (PORT), lists folders in the Unix long
form and answers SIZE in either transfer type.
"""

import os

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


def make_handler(throttle):
    """A handler class for one receiver; throttle limits each data connection
    to that many bytes per second (0: unlimited). Serves nobody until
    authorize() gives it the receiver's user."""
    if throttle > 0:
        dtp = type("ReceiverThrottledDTP", (ThrottledDTPHandler,), {"read_limit": throttle, "write_limit": throttle})
    else:
        dtp = DTPHandler
    return type("ConfiguredReceiverFTPHandler", (ReceiverFTPHandler,),
                {"authorizer": DummyAuthorizer(), "dtp_handler": dtp})


def authorize(handler, root, pin, version_text):
    """Lets "root" log in with pin to the existing folder root; version_text is
    the text of the final logon reply after "230 "."""
    handler.authorizer.add_user(USER, pin, os.path.abspath(root), perm=PERMISSIONS, msg_login=version_text,
                                msg_quit="Goodbye.")
