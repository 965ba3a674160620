#!/usr/bin/python3
"""The Tango device server end to end: trevalon-tango against laser-sim on a
pty, driven through PyTango as a control-system client drives it, with the
laser's side checked in laser-sim's transcript.

One server per group: a diode laser (type 8) with the default properties
(-nodb), a flash-lamp laser (type 3) whose properties allow remote firing
(-file=), and a server that is ended by SIGTERM.

Needs TREVALON_BIN_DIR (the folder with trevalon-tango and laser-sim) and
Debian's python3-tango (visible to /usr/bin/python3)."""
import os
import select
import signal
import socket
import subprocess
import tempfile
import threading
import time
import unittest

import tango

BIN = os.environ["TREVALON_BIN_DIR"]
os.environ.setdefault("TREVALON_IPC_SUFFIX", "_tango_smoke_test")

# What the poll sends by itself: the status, and one read-out per tick.
POLL_TRAFFIC = {"SS", "SC", "HR?", "FR?", "T1?"}

# Twenty attributes a client panel might read together.
PANEL = ["StatusWord", "FlowInterlock", "TempInterlock", "ExtInterlock", "WorkInterlock",
         "SupplyOn", "Firing", "OkToFire", "OkToStart", "CoolantLow", "ShotCount", "Hours",
         "FlowRate", "Temperature", "Model", "LaserType", "RepRate", "FireMode", "OutputLevel",
         "DiodeCurrent"]


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


def wait_for(condition, timeout):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise AssertionError("condition not met in time")
        time.sleep(0.05)


def tick_traffic(commands):
    """The poll ticks among commands, each from its "SS" to the next one (the
    commands before the first "SS" and the last, maybe unfinished, tick left
    out): (the set of commands per tick, the set of commands sent)."""
    starts = [i for i, command in enumerate(commands) if command == "SS"]
    ticks = [commands[a:b] for a, b in zip(starts, starts[1:])]
    return {len(tick) for tick in ticks}, {command for tick in ticks for command in tick}


class Rig:
    """laser-sim on a pty, and the server with COM1 pointing at it. With
    `properties` the server reads its device properties from a file (a
    database of Tango's own format) rather than running with -nodb."""

    def __init__(self, sim_settings=(), properties=None):
        self.dir = tempfile.TemporaryDirectory(prefix="trevalon-tango-")
        self.pty = os.path.join(self.dir.name, "ttyLASER")
        self.control = os.path.join(self.dir.name, "control")
        self.transcript = os.path.join(self.dir.name, "transcript")
        self.sim_settings = sim_settings
        self.sim = None
        self.server = None
        self.start_sim()
        port = free_port()
        if properties is None:
            database = ["-nodb", "-dlist", "test/trevalon/1"]
        else:
            path = os.path.join(self.dir.name, "properties.db")
            with open(path, "w") as f:
                f.write('trevalon-tango/smoke/DEVICE/Trevalon: "test/trevalon/1"\n')
                for name, value in properties.items():
                    f.write(f"test/trevalon/1->{name}: {value}\n")
            database = ["-file=" + path]
        self.server = subprocess.Popen(
            [os.path.join(BIN, "trevalon-tango"), "smoke", *database,
             "-ORBendPoint", f"giop:tcp:127.0.0.1:{port}"],
            env=dict(os.environ, TREVALON_PORTS="1=" + self.pty),
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        read_line(self.server, "Ready to accept request", 30)
        self.url = f"tango://127.0.0.1:{port}/test/trevalon/1#dbase=no"
        self.device = tango.DeviceProxy(self.url)
        wait_for(lambda: self.device.state() != tango.DevState.INIT, 30)

    def start_sim(self, *extra_settings):
        """Starts laser-sim; its transcript goes on where the last one ended."""
        settings = [arg for line in (*self.sim_settings, *extra_settings)
                    for arg in ("--set", line)]
        self.sim = subprocess.Popen(
            [os.path.join(BIN, "laser-sim"), "--pty", self.pty, "--control", self.control,
             "--transcript", self.transcript, *settings],
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, text=True)
        read_line(self.sim, "READY", 10)

    def kill_sim(self):
        self.sim.kill()
        self.sim.wait()
        self.sim.stdout.close()

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

    def mark(self):
        """A place in the transcript: sent()[mark:] is what came after."""
        return len(self.sent())

    def traffic_over(self, seconds):
        """tick_traffic of what the laser receives over the next seconds."""
        start = self.mark()
        time.sleep(seconds)
        return tick_traffic(self.sent()[start:])

    def end_server(self, signo):
        self.server.send_signal(signo)
        return self.server.wait(timeout=20)

    def close(self):
        for process in (self.server, self.sim):
            if process.poll() is None:
                process.terminate()
                process.wait(timeout=20)
            if not process.stdout.closed:
                process.stdout.close()
        self.dir.cleanup()


class RigTest(unittest.TestCase):
    sim_settings = ()
    properties = None

    @classmethod
    def setUpClass(cls):
        cls.rig = Rig(cls.sim_settings, cls.properties)
        cls.device = cls.rig.device

    @classmethod
    def tearDownClass(cls):
        cls.rig.close()

    def assertRefused(self, call, words):
        with self.assertRaises(tango.DevFailed) as caught:
            call()
        self.assertEqual(caught.exception.args[0].reason, "Trevalon_Refused")
        self.assertIn(words, caught.exception.args[0].desc)

    def assertServesWhatTheLaserHas(self, absent, writes):
        """Every attribute but `absent` reads valid, those read invalid, and
        each write of `writes` (name, value, words of the refusal) is refused
        with nothing but the poll reaching the laser."""
        names = self.device.get_attribute_list()
        invalid = {reply.name for reply in self.device.read_attributes(names)
                   if reply.quality == tango.AttrQuality.ATTR_INVALID}
        self.assertEqual(invalid, set(absent))
        start = self.rig.mark()
        for name, value, words in writes:
            self.assertRefused(lambda: self.device.write_attribute(name, value), words)
        self.assertLessEqual(set(self.rig.sent()[start:]), POLL_TRAFFIC)


class DiodeLaserTest(RigTest):
    # A type 8 whose rotation stage carries a polarizer.
    sim_settings = ("set polarizer 1",)

    def test_identifies_the_laser_and_serves_what_it_has(self):
        self.assertEqual(self.device.Model, "Oltrin")
        self.assertEqual(self.device.LaserType, 8)
        self.assertEqual(self.device.Firmware, "2.10")
        self.assertEqual(self.device.state(), tango.DevState.STANDBY)
        self.assertTrue(self.device.OkToStart)
        # The start settings, read back from the laser object.
        self.assertEqual(self.device.FireMode, 1)
        self.assertEqual(self.device.OutputLevel, 10.0)
        self.assertEqual(self.device.PolarizerAngle, 0)
        # A diode laser has no PFN voltage, a polarizer no XY theta stage: no
        # value rather than a made-up one, and writes refused.
        self.assertServesWhatTheLaserHas(
            {"PFNVoltage", "XYTheta"},
            [("PFNVoltage", 40.0, "no variable PFN voltage"),
             ("XYTheta", 10, "no rotation stage")])

    def test_rate_is_written_through_the_laser_and_read_back(self):
        start = self.rig.mark()
        self.device.RepRate = 5
        self.assertEqual(self.device.RepRate, 5)
        # The laser object keeps the rate inside the laser's range (type 8: 2000 Hz).
        self.device.RepRate = 100000
        self.assertEqual(self.device.RepRate, 2000)
        self.assertEqual([c for c in self.rig.sent()[start:] if c.startswith("RR")],
                         ["RR00005", "RR02000"])
        self.device.RepRate = 1

    def test_refused_requests_send_nothing(self):
        start = self.rig.mark()
        self.assertRefused(self.device.Fire, "RemoteFiring")
        self.assertRefused(lambda: self.device.SendCommand("GO"), "AllowRawCommands")
        self.assertLessEqual(set(self.rig.sent()[start:]), POLL_TRAFFIC)

    def test_open_interlock_is_an_alarm_announced_by_events_and_stopped_every_tick(self):
        flow, states = [], []
        subscriptions = [
            self.device.subscribe_event(
                name, tango.EventType.CHANGE_EVENT,
                lambda event, seen=seen: seen.append(None if event.err
                                                     else event.attr_value.value))
            for name, seen in (("FlowInterlock", flow), ("State", states))]
        start = self.rig.mark()
        try:
            self.rig.sim_control("set interlock flow open")
            wait_for(lambda: True in flow and tango.DevState.ALARM in states, 5)
            self.assertEqual(self.device.state(), tango.DevState.ALARM)
            self.assertIn("FLOW", self.device.status())
            time.sleep(1.2)  # a few more ticks with the interlock open
            end = self.rig.mark()
        finally:
            self.rig.sim_control("set interlock flow closed")
            # Without a database Tango 9.3's clients miss the server's
            # heartbeat after 10 s: leave before that.
            for subscription in subscriptions:
                self.device.unsubscribe_event(subscription)
        wait_for(lambda: self.device.state() == tango.DevState.STANDBY, 5)
        sent = self.rig.sent()
        # Every tick that saw the interlock told the laser to stop.
        after_status = [sent[i + 1] for i in range(start, end) if sent[i] == "SS"]
        self.assertGreaterEqual(len(after_status), 4)
        self.assertEqual(set(after_status), {"ST"})

    def test_many_readers_leave_the_lasers_traffic_unchanged(self):
        alone = self.rig.traffic_over(2.5)
        stop = threading.Event()
        reads = [0] * 5
        failures = []

        def reader(index):
            proxy = tango.DeviceProxy(self.rig.url)
            while not stop.is_set():
                try:
                    proxy.read_attributes(PANEL)
                except tango.DevFailed as error:
                    failures.append(error)
                    return
                reads[index] += 1

        readers = [threading.Thread(target=reader, args=(i,)) for i in range(len(reads))]
        for thread in readers:
            thread.start()
        try:
            wait_for(lambda: all(reads) or failures, 10)
            read_before = sum(reads)
            with_readers = self.rig.traffic_over(2.5)
            read_during = sum(reads) - read_before
        finally:
            stop.set()
            for thread in readers:
                thread.join()
        self.assertEqual(failures, [])
        self.assertGreater(read_during, 50)
        # One status and one read-out per tick, whoever reads the cache.
        self.assertEqual(alone, ({2}, POLL_TRAFFIC))
        self.assertEqual(with_readers, alone)

    def test_silent_laser_is_a_fault_until_found_again(self):
        self.rig.sim_control("fault silent")
        try:
            wait_for(lambda: self.device.state() == tango.DevState.FAULT, 10)
            self.assertEqual(self.device.status(), "Laser not responding")
            self.assertEqual(self.device.read_attribute("RepRate").quality,
                             tango.AttrQuality.ATTR_INVALID)
            self.assertRefused(lambda: self.device.write_attribute("RepRate", 3), "No laser")
        finally:
            self.rig.sim_control("fault none")
        # Looked for again every 5 s.
        wait_for(lambda: self.device.state() == tango.DevState.STANDBY, 20)
        self.assertEqual(self.device.RepRate, 1)


class FlashLampRemoteFiringTest(RigTest):
    # Type 3 has neither pump diodes nor a variable PFN voltage; a short
    # start time and motors that stop at once keep the group quick.
    sim_settings = ("set type 3", "set start-time 200", "set motor-time 0")
    properties = {"RemoteFiring": "true"}

    def start_firing(self):
        self.device.FireMode = 0  # continuous
        self.device.On()
        wait_for(lambda: self.device.OkToFire, 5)
        self.device.Fire()
        wait_for(lambda: self.device.state() == tango.DevState.RUNNING, 5)

    def switch_off(self):
        # Until the next tick the cache shows the supply as the last one found it.
        self.device.Off()
        wait_for(lambda: self.device.state() == tango.DevState.STANDBY, 5)

    def test_flash_lamp_serves_what_it_has(self):
        self.assertEqual(self.device.LaserType, 3)
        self.assertEqual(self.device.XYTheta, 0)
        self.assertServesWhatTheLaserHas(
            {"PFNVoltage", "DiodeCurrent", "PolarizerAngle"},
            [("DiodeCurrent", 40.0, "no pump diodes"),
             ("PFNVoltage", 40.0, "no variable PFN voltage"),
             ("PolarizerAngle", 10, "no polarizer")])

    def test_fire_allowed_by_property_fires_and_stops(self):
        start = self.rig.mark()
        self.start_firing()
        self.assertEqual(self.rig.sim_control("get firing"), "OK 1")
        self.device.Stop()
        wait_for(lambda: self.device.state() == tango.DevState.ON, 5)
        self.assertEqual(self.rig.sim_control("get firing"), "OK 0")
        sent = self.rig.sent()[start:]
        self.assertEqual(sent.count("GO"), 1)
        self.assertIn("MO0", sent[:sent.index("GO")])
        self.assertIn("ST", sent[sent.index("GO"):])
        self.switch_off()

    def test_laser_killed_while_firing_is_a_fault_then_found_again_not_firing(self):
        self.start_firing()
        start = self.rig.mark()
        self.rig.kill_sim()
        wait_for(lambda: self.device.state() == tango.DevState.FAULT, 15)
        self.assertEqual(self.device.status(), "Laser not responding")
        self.assertRefused(self.device.Fire, "No laser")
        # Back with the supply on: one "GO" would fire it.
        self.rig.start_sim("set supply 1")
        wait_for(lambda: self.device.state() == tango.DevState.ON, 20)
        time.sleep(0.6)  # a few ticks after the discovery
        self.assertEqual(self.device.state(), tango.DevState.ON)
        self.assertEqual(self.rig.sim_control("get firing"), "OK 0")
        sent = self.rig.sent()[start:]
        self.assertIn("SM1", sent)  # found again
        self.assertNotIn("GO", sent)
        self.switch_off()


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
