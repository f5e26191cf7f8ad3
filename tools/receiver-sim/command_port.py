"""The receiver's command port (TCP, 12345 by default).

Requests and replies are framed by an 8-character left-aligned decimal length
and hold fields separated by "[]:[]". The receiver answers
Record_GetPartitionSize, Record_GetFreeMBSize and Record_DeleteByKeyList.

Not served yet: this is where the listener goes. It is to be an
asynchronous acceptor on the simulator's pyftpdlib IOLoop (like the FTP
servers), so one loop serves every port and shuts down with them.
"""

import logging

log = logging.getLogger("receiver-sim")


def start_command_port(ioloop, address, port, root):
    """Starts serving the command port on (address, port); returns its
    listener, or None while the port is not served."""
    log.info("command port %s:%d is not served by this version", address, port)
    return None
