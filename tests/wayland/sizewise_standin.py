"""Sizewise's side of the KWin script's protocol (io.github.sizewise.KWin1), in Python, for tests:
serves the interface on a session bus, keeps what the script reports and hands it commands through
the script's long poll. Its own thread runs the bus; every read waits on a condition."""

import json
import os
import threading
import time

from gi.repository import Gio, GLib

HERE = os.path.dirname(os.path.abspath(__file__))
INTERFACE_XML = os.path.join(HERE, "..", "..", "platform", "kwin", "io.github.sizewise.KWin1.xml")
NAME, PATH, INTERFACE = "io.github.sizewise.Sizewise", "/Sizewise", "io.github.sizewise.KWin1"
PROTOCOL = 1


class SizewiseStandIn:
    def __init__(self, address, pids=(), hold_seconds=20.0):
        """hold_seconds: how long a poll waits for a command before the empty answer; None holds it
        until a command comes, however long."""
        self.address, self.pids, self.hold_seconds = address, list(pids), hold_seconds
        self.cond = threading.Condition()
        self.hello, self.active, self.screens, self.pointer = None, None, None, None
        self.windows, self.gone = {}, set()
        self.reports = []  # (monotonic time, method, message) of every call from the script
        self.results = {}  # command seq: (monotonic time, result)
        self.polls = []  # monotonic time of each NextCommand call
        self.answered = {}  # command seq: monotonic time it was handed to the script
        self.queue, self.held, self.seq = [], None, 0
        self.context = GLib.MainContext.new()
        self.loop = GLib.MainLoop.new(self.context, False)
        self.thread, self.connection, self.ready = None, None, threading.Event()

    # --- the bus thread -----------------------------------------------------------------------------

    def start(self):
        self.thread = threading.Thread(target=self._run, name="sizewise-standin", daemon=True)
        self.thread.start()
        if not self.ready.wait(10) or self.connection is None:
            raise RuntimeError("the stand-in could not take its name on the bus")
        return self

    def _run(self):
        self.context.push_thread_default()
        try:
            self.connection = Gio.DBusConnection.new_for_address_sync(
                self.address,
                Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
                None, None)
            with open(INTERFACE_XML) as f:
                info = Gio.DBusNodeInfo.new_for_xml(f.read()).lookup_interface(INTERFACE)
            self.registration = self.connection.register_object(PATH, info, self._on_call, None, None)
            self.connection.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                      "RequestName", GLib.Variant("(su)", (NAME, 4)), None,
                                      Gio.DBusCallFlags.NONE, 5000, None)
        except GLib.Error:
            self.connection = None
            self.ready.set()
            raise
        self.ready.set()
        self.loop.run()
        self.context.pop_thread_default()

    def stop(self):
        if self.connection is not None:
            with self.cond:
                held, self.held = self.held, None
            if held:
                held[0].return_value(GLib.Variant("(s)", ("",)))
            self.connection.close_sync(None)
        self.loop.quit()
        if self.thread is not None:
            self.thread.join(5)

    def _on_call(self, connection, sender, path, interface, method, parameters, invocation):
        now = time.monotonic()
        message = json.loads(parameters.unpack()[0] or "{}")
        with self.cond:
            self.reports.append((now, method, message))
            if method == "Hello":
                self.hello = message
                invocation.return_value(GLib.Variant("(s)", (json.dumps({"protocol": PROTOCOL, "pids": self.pids}),)))
            elif method == "Changed":
                self.active = message["active"]
                for window in message["windows"]:
                    self.windows[window["id"]] = dict(window, at=now)
                for gone in message["gone"]:
                    self.windows.pop(gone, None)
                    self.gone.add(gone)
                invocation.return_value(None)
            elif method == "Pointer":
                self.pointer = dict(message, at=now)
                invocation.return_value(None)
            elif method == "Screens":
                self.screens = message
                invocation.return_value(None)
            elif method == "NextCommand":
                self._poll(now, message, invocation)
            self.cond.notify_all()

    def _poll(self, now, result, invocation):
        """Under the lock: a new poll, with the result of the previous command."""
        self.polls.append(now)
        if result.get("seq"):
            self.results[result["seq"]] = (now, result)
        if self.held:  # a poll the script gave up on; it takes no answer any more
            self.held[0].return_value(GLib.Variant("(s)", ("",)))
        self.held = (invocation, now)
        if self.queue:
            self._answer(self.queue.pop(0))
        elif self.hold_seconds is not None:
            source = GLib.timeout_source_new(int(self.hold_seconds * 1000))
            source.set_callback(self._hold_over, invocation)
            source.attach(self.context)

    def _hold_over(self, invocation):
        with self.cond:
            if self.held and self.held[0] is invocation:
                self._answer("")
        return GLib.SOURCE_REMOVE

    def _answer(self, command):
        """Under the lock: hands a command (or "") to the held poll."""
        invocation, self.held = self.held[0], None
        if command:
            self.answered[command["seq"]] = time.monotonic()
        invocation.return_value(GLib.Variant("(s)", (json.dumps(command) if command else "",)))

    # --- for the tests --------------------------------------------------------------------------------

    def wait(self, predicate, timeout=10.0, what="a report"):
        """Waits until predicate() (called under the lock) gives something true, and returns it."""
        with self.cond:
            value = self.cond.wait_for(predicate, timeout)
        if not value:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        return value

    def command(self, op, **args):
        """Queues a command for the script; returns its sequence number."""
        with self.cond:
            self.seq += 1
            command = dict(args, op=op, seq=self.seq)
            if self.held:
                self._answer(command)
            else:
                self.queue.append(command)
            return self.seq

    def result(self, seq, timeout=10.0):
        """The script's result for a command, which comes with its next poll."""
        return self.wait(lambda: self.results.get(seq), timeout, f"the result of command {seq}")[1]

    def held_since(self):
        with self.cond:
            return self.held[1] if self.held else None

    def is_answering(self, timeout=2.0):
        """Whether the script is alive: a held poll is answered at once with nothing, and a live
        script asks again within the timeout."""
        with self.cond:
            before = len(self.polls)
            if self.held:
                self._answer("")
        try:
            self.wait(lambda: len(self.polls) > before, timeout, "the script to ask again")
            return True
        except AssertionError:
            return False

    def window(self, window_id):
        with self.cond:
            return self.windows.get(window_id)
