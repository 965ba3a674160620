"""The same status exchange as bench-exchange, done with pyserial.

    exchange_pyserial.py DEVICE [COUNT]

Last line: "RESULT rate=<exchanges/s> cpu_us=<microseconds per exchange> failures=<n>"
"""
import resource
import sys
import time

import serial


def cpu_seconds():
    usage = resource.getrusage(resource.RUSAGE_SELF)
    return usage.ru_utime + usage.ru_stime


def main():
    device = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 2000
    port = serial.Serial(device, 9600, bytesize=8, parity="N", stopbits=1, timeout=2)
    command = b";LASS\r"

    def exchange():
        port.reset_input_buffer()
        port.write(command)
        return port.read_until(b"\r")

    for _ in range(50):
        exchange()
    failures = 0
    cpu_before = cpu_seconds()
    start = time.perf_counter()
    for _ in range(count):
        reply = exchange()
        if not reply.endswith(b"\r") or len(reply) < 2:
            failures += 1
    wall = time.perf_counter() - start
    cpu = cpu_seconds() - cpu_before
    port.close()
    rate = count / wall
    cpu_us = cpu * 1e6 / count
    print("pyserial: %d exchanges in %.3f s: %.0f exchanges/s, %.1f us CPU/exchange"
          % (count, wall, rate, cpu_us))
    print("RESULT rate=%.3f cpu_us=%.3f failures=%d" % (rate, cpu_us, failures))
    return 0 if failures == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
