#!/usr/bin/env python3
"""Send laser commands to a running Trevalon through its IPC mailbox.

Usage: example.py COMMAND...   (for example: example.py SS)
Only the standard library: the mailbox is two files in /dev/shm, a 2052-byte
area shared with mmap and a lock file taken with flock.
"""
import fcntl
import mmap
import os
import sys
import time

SUFFIX = os.environ.get("TREVALON_IPC_SUFFIX", "")
AREA_PATH = "/dev/shm/CRV_IPC_MAPPEDFILE" + SUFFIX
MUTEX_PATH = "/dev/shm/CRV_IPC_MUTEX" + SUFFIX
AREA_SIZE = 2052
TEXT_SIZE = 1024  # per box; a message holds at most 1023 bytes and a NUL


def message_flag(box):
    return box


def owner_flag(box):
    return 2 + box


def text_offset(box):
    return 4 + TEXT_SIZE * box


def open_private(path):
    fd = os.open(path, os.O_RDWR | os.O_CREAT | os.O_NOFOLLOW, 0o600)
    info = os.fstat(fd)
    if info.st_uid != os.geteuid() or info.st_mode & 0o077:
        os.close(fd)
        raise PermissionError(path + " is open to other users")
    return fd


class Mailbox:
    def __init__(self):
        self.area_fd = open_private(AREA_PATH)
        self.mutex_fd = open_private(MUTEX_PATH)
        if os.fstat(self.area_fd).st_size < AREA_SIZE:
            os.ftruncate(self.area_fd, AREA_SIZE)
        self.area = mmap.mmap(self.area_fd, AREA_SIZE)
        self.box = None
        with self.locked():
            try:  # nobody else takes part: start from zeros
                fcntl.flock(self.area_fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
                self.area[:] = bytes(AREA_SIZE)
            except BlockingIOError:
                pass
            # Held while we take part; tells later participants not to zero.
            fcntl.flock(self.area_fd, fcntl.LOCK_SH | fcntl.LOCK_NB)
            for box in (0, 1):
                if self.area[owner_flag(box)] == 0:
                    self.area[owner_flag(box)] = 1
                    self.area[message_flag(box)] = 0
                    self.box = box
                    break
        if self.box is None:
            self.close()
            raise RuntimeError("All outboxes are already owned")
        self.other = 1 - self.box

    def locked(self, limit=1.0):
        mailbox = self

        class Held:
            def __enter__(self):
                deadline = time.monotonic() + limit
                while True:
                    try:
                        fcntl.flock(mailbox.mutex_fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
                        return
                    except BlockingIOError:
                        if time.monotonic() >= deadline:
                            raise TimeoutError("mailbox mutex busy")
                        time.sleep(0.005)

            def __exit__(self, *exc):
                fcntl.flock(mailbox.mutex_fd, fcntl.LOCK_UN)

        return Held()

    def request(self, command, timeout=5.0):
        data = command.encode("latin-1")[: TEXT_SIZE - 1]
        with self.locked():
            self.area[message_flag(self.other)] = 0  # drop a stale reply
            start = text_offset(self.box)
            self.area[start : start + TEXT_SIZE] = data + bytes(TEXT_SIZE - len(data))
            self.area[message_flag(self.box)] = 1
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            with self.locked():
                if self.area[message_flag(self.other)] and self.area[owner_flag(self.other)]:
                    if self.area[message_flag(self.box)]:
                        # Our request is not taken yet: this answers another.
                        self.area[message_flag(self.other)] = 0
                    else:
                        start = text_offset(self.other)
                        text = self.area[start : start + TEXT_SIZE]
                        self.area[message_flag(self.other)] = 0
                        return text.split(b"\0", 1)[0].decode("latin-1")
            time.sleep(0.01)
        raise TimeoutError("no reply to " + command)

    def close(self):
        if self.box is not None:
            with self.locked():
                self.area[owner_flag(self.box)] = 0
            self.box = None
        self.area.close()
        os.close(self.area_fd)  # also drops the shared lock
        os.close(self.mutex_fd)


def main():
    mailbox = Mailbox()
    try:
        for command in sys.argv[1:]:
            print(mailbox.request(command), flush=True)
    finally:
        mailbox.close()


if __name__ == "__main__":
    main()
