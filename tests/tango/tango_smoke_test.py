#!/usr/bin/python3
"""The Tango device server end to end: trevalon-tango -nodb against laser-sim
on a pty, driven through PyTango as a control-system client drives it.

Needs TREVALON_BIN_DIR (the folder with trevalon-tango and laser-sim) and
Debian's python3-tango (visible to /usr/bin/python3)."""
import os
import select
import signal
import socket
import subprocess
import tempfile
import time
import unittest

import tango

BIN = os.environ["TREVALON_BIN_DIR"]
os.environ.setdefault("TREVALON_IPC_SUFFIX", "_tango_smoke_test")


def read_line(process, prefix, timeout):
    """The first line of the process's output that starts with prefix."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        ready, _, _ = select.select([process.stdout], [], [], 0.2)
        if ready:
            line = process.stdout.readline()
            if not line:
                break
            if line.startswith(prefix):
                return line.strip()
    raise AssertionError(f"no '{prefix}' line within {timeout} s")


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Rig:
    """laser-sim on a pty, and the server with COM1 pointing at it."""

    def __init__(self):
        self.dir = tempfile.TemporaryDirectory(prefix="trevalon-tango-")
        self.pty = os.path.join(self.dir.name, "ttyLASER")
        self.control = os.path.join(self.dir.name, "control")
        self.transcript = os.path.join(self.dir.name, "transcript")
        self.sim = subprocess.Popen(
            [os.path.join(BIN, "laser-sim"), "--pty", self.pty, "--control", self.control,
             "--transcript", self.transcript],
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, text=True)
        read_line(self.sim, "READY", 10)
        port = free_port()
        self.server = subprocess.Popen(
            [os.path.join(BIN, "trevalon-tango"), "smoke", "-nodb",
             "-ORBendPoint", f"giop:tcp:127.0.0.1:{port}", "-dlist", "test/trevalon/1"],
            env=dict(os.environ, TREVALON_PORTS="1=" + self.pty),
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        read_line(self.server, "Ready to accept request", 30)
        self.device = tango.DeviceProxy(f"tango://127.0.0.1:{port}/test/trevalon/1#dbase=no")
        self.wait_for(lambda: self.device.state() != tango.DevState.INIT, 30)

    def sim_control(self, line):
        with socket.socket(socket.AF_UNIX) as connection:
            connection.connect(self.control)
            connection.sendall((line + "\n").encode())
            return connection.makefile().readline().strip()

    def sent(self):
        """The commands the laser received, without the ;LA prefix."""
        self.sim_control("ping")  # the simulator has taken in every line before it
        with open(self.transcript, encoding="latin-1") as lines:
            return [line.strip().replace(";LA", "", 1) for line in lines]

    @staticmethod
    def wait_for(condition, timeout):
        deadline = time.monotonic() + timeout
        while not condition():
            if time.monotonic() > deadline:
                raise AssertionError("condition not met in time")
            time.sleep(0.1)

    def end_server(self, signo):
        self.server.send_signal(signo)
        return self.server.wait(timeout=20)

    def close(self):
        for process in (self.server, self.sim):
            if process.poll() is None:
                process.terminate()
                process.wait(timeout=20)
            process.stdout.close()
        self.dir.cleanup()


class DeviceTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.rig = Rig()
        cls.device = cls.rig.device

    @classmethod
    def tearDownClass(cls):
        cls.rig.close()

    def assertRefused(self, call, words):
        with self.assertRaises(tango.DevFailed) as caught:
            call()
        self.assertEqual(caught.exception.args[0].reason, "Trevalon_Refused")
        self.assertIn(words, caught.exception.args[0].desc)

    def test_identifies_the_simulated_laser_and_serves_what_it_has(self):
        self.assertEqual(self.device.Model, "Oltrin")
        self.assertEqual(self.device.LaserType, 8)
        self.assertEqual(self.device.Firmware, "2.10")
        self.assertEqual(self.device.state(), tango.DevState.STANDBY)
        self.assertTrue(self.device.OkToStart)
        # The start settings, read back from the laser object.
        self.assertEqual(self.device.FireMode, 1)
        self.assertEqual(self.device.OutputLevel, 10.0)
        # A diode laser has no PFN voltage: no value rather than a made-up one.
        self.assertEqual(self.device.read_attribute("PFNVoltage").quality,
                         tango.AttrQuality.ATTR_INVALID)

    def test_rate_is_written_through_the_laser_and_read_back(self):
        self.device.RepRate = 5
        self.assertEqual(self.device.RepRate, 5)
        self.assertIn("RR00005", self.rig.sent())
        # The laser object keeps the rate inside the laser's range (type 8: 2000 Hz).
        self.device.RepRate = 100000
        self.assertEqual(self.device.RepRate, 2000)

    def test_refused_requests_send_nothing(self):
        self.assertRefused(self.device.Fire, "RemoteFiring")
        self.assertRefused(lambda: self.device.SendCommand("GO"), "AllowRawCommands")
        self.assertRefused(lambda: self.device.write_attribute("PFNVoltage", 40.0),
                           "no variable PFN voltage")
        sent = self.rig.sent()
        self.assertNotIn("GO", sent)
        self.assertFalse([command for command in sent if command.startswith("VO")])

    def test_open_interlock_is_an_alarm_announced_by_an_event(self):
        seen = []
        subscription = self.device.subscribe_event(
            "FlowInterlock", tango.EventType.CHANGE_EVENT,
            lambda event: seen.append(None if event.err else event.attr_value.value))
        try:
            self.rig.sim_control("set interlock flow open")
            self.rig.wait_for(lambda: True in seen, 5)
            self.assertEqual(self.device.state(), tango.DevState.ALARM)
            self.assertIn("FLOW", self.device.status())
        finally:
            self.rig.sim_control("set interlock flow closed")
            # Without a database Tango 9.3's clients miss the server's
            # heartbeat after 10 s: leave before that.
            self.device.unsubscribe_event(subscription)
        self.rig.wait_for(lambda: self.device.state() == tango.DevState.STANDBY, 5)

    def test_silent_laser_is_a_fault_until_found_again(self):
        self.rig.sim_control("fault silent")
        try:
            self.rig.wait_for(lambda: self.device.state() == tango.DevState.FAULT, 10)
            self.assertEqual(self.device.status(), "Laser not responding")
            self.assertEqual(self.device.read_attribute("RepRate").quality,
                             tango.AttrQuality.ATTR_INVALID)
            self.assertRefused(lambda: self.device.write_attribute("RepRate", 3), "No laser")
        finally:
            self.rig.sim_control("fault none")
        # Looked for again every 5 s.
        self.rig.wait_for(lambda: self.device.state() == tango.DevState.STANDBY, 20)
        self.assertEqual(self.device.RepRate, 1)


class ShutdownTest(unittest.TestCase):
    def test_sigterm_switches_the_laser_off_and_ends_the_server(self):
        rig = Rig()
        try:
            self.assertEqual(rig.end_server(signal.SIGTERM), 0)
            self.assertEqual(rig.sent()[-2:], ["OF", "SM0"])
        finally:
            rig.close()


if __name__ == "__main__":
    unittest.main(verbosity=2)
