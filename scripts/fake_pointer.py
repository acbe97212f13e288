"""Moves KWin's pointer from a test, as a device would: a minimal Wayland client that speaks the wire
protocol itself (Debian 12 has no Python Wayland bindings) and sends org_kde_kwin_fake_input
motions. KWin offers that interface only with its permission checks off and only to a client whose
executable it can read, that is one of the compositor's own user: so the client runs as that user,
as a command reading "X Y" (a move) and "click X Y" lines and answering each once the compositor
has it."""

import os
import socket
import struct
import subprocess
import sys

DISPLAY_ID, REGISTRY_ID = 1, 2
FAKE_INPUT = "org_kde_kwin_fake_input"
# Requests of org_kde_kwin_fake_input by opcode: authenticate 0, pointer_motion 1, button 2, ...,
# pointer_motion_absolute 9 (since version 3).
AUTHENTICATE, BUTTON, POINTER_MOTION_ABSOLUTE = 0, 2, 9
BTN_LEFT = 0x110


def _string(text):
    data = text.encode() + b"\0"
    return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)


def _fixed(value):
    return struct.pack("<i", int(round(value * 256)))


class FakePointer:
    def __init__(self, runtime_dir, display):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.settimeout(10)
        self.sock.connect(os.path.join(runtime_dir, display))
        # The compositor takes new ids only in order: each is the next after the last one used.
        self.buffer, self.next_id = b"", REGISTRY_ID + 1
        self._send(DISPLAY_ID, 1, struct.pack("<I", REGISTRY_ID))  # wl_display.get_registry
        globals_ = self._roundtrip()
        found = [(name, version) for name, interface, version in globals_ if interface == FAKE_INPUT]
        if not found:
            raise RuntimeError(f"the compositor offers no {FAKE_INPUT}")
        name, version = found[0]
        if version < 3:
            raise RuntimeError(f"{FAKE_INPUT} version {version} has no absolute motion")
        # wl_registry.bind with an untyped new id: name, interface, version, id.
        self.fake_input = self._new_id()
        self._send(REGISTRY_ID, 0,
                   struct.pack("<I", name) + _string(FAKE_INPUT) + struct.pack("<II", 3, self.fake_input))
        self._send(self.fake_input, AUTHENTICATE, _string("sizewise-tests") + _string("moves the pointer in a test"))
        self._roundtrip()

    def _new_id(self):
        self.next_id += 1
        return self.next_id - 1

    def _send(self, object_id, opcode, payload):
        self.sock.sendall(struct.pack("<II", object_id, (8 + len(payload)) << 16 | opcode) + payload)

    def _events(self):
        while True:
            while len(self.buffer) < 8:
                chunk = self.sock.recv(4096)
                if not chunk:
                    raise RuntimeError("the compositor closed the connection")
                self.buffer += chunk
            object_id, size_opcode = struct.unpack("<II", self.buffer[:8])
            size = size_opcode >> 16
            while len(self.buffer) < size:
                self.buffer += self.sock.recv(4096)
            payload, self.buffer = self.buffer[8:size], self.buffer[size:]
            yield object_id, size_opcode & 0xFFFF, payload

    def _roundtrip(self):
        """wl_display.sync; returns the registry's globals seen until its callback is done."""
        callback = self._new_id()
        self._send(DISPLAY_ID, 0, struct.pack("<I", callback))
        globals_ = []
        for object_id, opcode, payload in self._events():
            if object_id == DISPLAY_ID and opcode == 0:  # wl_display.error
                code, text = struct.unpack("<II", payload[:8]), payload[12:].split(b"\0")[0].decode()
                raise RuntimeError(f"Wayland protocol error {code}: {text}")
            if object_id == REGISTRY_ID and opcode == 0:  # wl_registry.global
                name, length = struct.unpack("<II", payload[:8])
                interface = payload[8:8 + length - 1].decode()
                version = struct.unpack("<I", payload[8 + length + (-length % 4):][:4])[0]
                globals_.append((name, interface, version))
            if object_id == callback and opcode == 0:  # wl_callback.done
                return globals_

    def move_to(self, x, y):
        """Puts the pointer at (x, y) in screen pixels; returns once the compositor has read it."""
        self._send(self.fake_input, POINTER_MOTION_ABSOLUTE, _fixed(x) + _fixed(y))
        self._roundtrip()

    def click(self, x, y):
        """A left click at (x, y): a press and a release; returns once the compositor has both."""
        self.move_to(x, y)
        for state in (1, 0):
            self._send(self.fake_input, BUTTON, struct.pack("<II", BTN_LEFT, state))
        self._roundtrip()

    def close(self):
        self.sock.close()


class PointerDevice:
    """The client above in a process of the session's user (kwin_session.KwinSession)."""

    def __init__(self, session):
        script = session.user_copy(os.path.abspath(__file__))
        self.proc = subprocess.Popen(session.as_user(["/usr/bin/python3", script]),
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                     text=True)
        self._expect("ready")

    def _expect(self, word):
        line = self.proc.stdout.readline().strip()
        if line != word:
            self.close()
            raise RuntimeError(f"the fake pointer said {line!r}: {self.proc.stderr.read()[-1000:]}")

    def move_to(self, x, y):
        self._ask(f"{x} {y}")

    def click(self, x, y):
        self._ask(f"click {x} {y}")

    def _ask(self, request):
        self.proc.stdin.write(request + "\n")
        self.proc.stdin.flush()
        self._expect("ok")

    def close(self):
        self.proc.stdin.close()
        self.proc.wait(5)
        self.proc.stdout.close()
        self.proc.stderr.close()


if __name__ == "__main__":
    pointer = FakePointer(os.environ["XDG_RUNTIME_DIR"], os.environ["WAYLAND_DISPLAY"])
    print("ready", flush=True)
    for request in sys.stdin:
        words = request.split()
        if words[0] == "click":
            pointer.click(*map(float, words[1:]))
        else:
            pointer.move_to(*map(float, words))
        print("ok", flush=True)
