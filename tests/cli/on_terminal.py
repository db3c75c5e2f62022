#!/usr/bin/env python3
"""Runs a command with its standard output on a pseudo-terminal of its own and copies what the
command wrote there to this script's standard output. The terminal is in raw mode, so it adds
nothing (no CR before each LF) and the bytes compare with those written to a pipe. Exits with
the command's exit status."""
import os
import subprocess
import sys
import tty

master, slave = os.openpty()
tty.setraw(slave)
command = subprocess.Popen(sys.argv[1:], stdout=slave)
os.close(slave)
written = bytearray()
while True:
    try:
        chunk = os.read(master, 65536)
    except OSError:  # EIO: the command has closed its end
        break
    if not chunk:
        break
    written += chunk
os.close(master)
sys.stdout.buffer.write(written)
sys.exit(command.wait())
