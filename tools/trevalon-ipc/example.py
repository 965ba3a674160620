#!/usr/bin/env python3
"""Send laser commands to a running Trevalon through its IPC mailbox.
Usage: example.py COMMAND...   (for example: example.py SS)"""
import contextlib, fcntl, mmap, os, sys, time

SUFFIX = os.environ.get("TREVALON_IPC_SUFFIX", "")
AREA, SIZE, TEXT = "/dev/shm/CRV_IPC_MAPPEDFILE" + SUFFIX, 2052, 1024
MUTEX = "/dev/shm/CRV_IPC_MUTEX" + SUFFIX
MSG, OWNER = (0, 1), (2, 3)          # flag offsets of box 0 and box 1
BOX = (4, 4 + TEXT)                  # text offsets of box 0 and box 1


def open_private(path):
    fd = os.open(path, os.O_RDWR | os.O_CREAT | os.O_NOFOLLOW, 0o600)
    st = os.fstat(fd)
    if st.st_uid != os.geteuid() or st.st_mode & 0o077:
        raise PermissionError(path + " is open to other users")
    return fd


@contextlib.contextmanager
def mutex(fd, limit=1.0):            # exclusive flock, waited for at most 1 s
    deadline = time.monotonic() + limit
    while True:
        try:
            fcntl.flock(fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
            break
        except BlockingIOError:
            if time.monotonic() > deadline:
                raise TimeoutError("mailbox busy")
            time.sleep(0.005)
    try:
        yield
    finally:
        fcntl.flock(fd, fcntl.LOCK_UN)


def exchange(commands, timeout=5.0):
    area_fd, mutex_fd = open_private(AREA), open_private(MUTEX)
    if os.fstat(area_fd).st_size < SIZE:
        os.ftruncate(area_fd, SIZE)
    mem = mmap.mmap(area_fd, SIZE)
    with mutex(mutex_fd):            # join: mutex first, then the area lock
        try:                         # nobody else takes part: start from zeros
            fcntl.flock(area_fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
            mem[:] = bytes(SIZE)
        except BlockingIOError:
            pass
        fcntl.flock(area_fd, fcntl.LOCK_SH | fcntl.LOCK_NB)  # held while we take part
        own = next((b for b in (0, 1) if mem[OWNER[b]] == 0), None)
        if own is not None:
            mem[OWNER[own]], mem[MSG[own]] = 1, 0
    if own is None:
        sys.exit("All outboxes are already owned")
    other = 1 - own
    try:
        for command in commands:
            data = command.encode("latin-1")[: TEXT - 1]
            with mutex(mutex_fd):
                mem[MSG[other]] = 0  # a stale reply cannot answer this request
                mem[BOX[own] : BOX[own] + TEXT] = data.ljust(TEXT, b"\0")
                mem[MSG[own]] = 1
            deadline, reply = time.monotonic() + timeout, None
            while reply is None:
                if time.monotonic() > deadline:
                    raise TimeoutError("no reply to " + command)
                time.sleep(0.01)
                with mutex(mutex_fd):
                    if mem[MSG[other]] and mem[OWNER[other]]:
                        if not mem[MSG[own]]:  # our request was taken: this is its reply
                            reply = mem[BOX[other] : BOX[other] + TEXT].split(b"\0")[0]
                        mem[MSG[other]] = 0
            print(reply.decode("latin-1"), flush=True)
    finally:
        with mutex(mutex_fd):        # leave: give the box back
            mem[OWNER[own]] = 0
        mem.close()
        os.close(area_fd)            # drops the shared lock
        os.close(mutex_fd)


if __name__ == "__main__":
    exchange(sys.argv[1:])
