#!/usr/bin/python3
"""An RFC 2217 server built on pyserial's PortManager (Debian's python3-serial), one session at
a time, for the device server tests: a server written elsewhere than ser2net.

    rfc2217_server.py TCP_PORT DEVICE

Listens on 127.0.0.1 only and opens the device for each session, as a device server does, so
that the device is free between sessions. Writes "session from HOST:PORT" to stderr as it
accepts each connection, so the tests can count the sessions a transfer costs.
"""
import socket
import sys
import threading

import serial
import serial.rfc2217


class PtySerial(serial.Serial):
    """A pseudo terminal has no modem lines: they read as off, and setting them changes nothing.
    The port manager asks for them as the client agrees to RFC 2217 and sets DTR and RTS."""

    def _update_rts_state(self):
        pass

    def _update_dtr_state(self):
        pass

    def _update_break_state(self):
        pass

    @property
    def cts(self):
        return False

    @property
    def dsr(self):
        return False

    @property
    def ri(self):
        return False

    @property
    def cd(self):
        return False


class Session:
    """One client's connection bridged to the serial port, until the client ends it."""

    def __init__(self, device, connection):
        self.port = PtySerial(device, 1200, timeout=0.05)
        self.connection = connection
        self.lock = threading.Lock()
        self.alive = True
        self.manager = serial.rfc2217.PortManager(self.port, self)

    def write(self, data):
        with self.lock:
            self.connection.sendall(data)

    def from_port(self):
        while self.alive:
            data = self.port.read(self.port.in_waiting or 1)
            if data:
                try:
                    self.write(b"".join(self.manager.escape(data)))
                except OSError:
                    break

    def run(self):
        reader = threading.Thread(target=self.from_port, daemon=True)
        reader.start()
        try:
            while True:
                data = self.connection.recv(1024)
                if not data:
                    break
                self.port.write(b"".join(self.manager.filter(data)))
        except OSError:
            pass
        finally:
            self.alive = False
            reader.join()
            self.port.close()
            self.connection.close()


def main():
    tcp_port, device = int(sys.argv[1]), sys.argv[2]
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", tcp_port))
    listener.listen(1)
    while True:
        connection, peer = listener.accept()
        print("session from %s:%d" % peer, file=sys.stderr, flush=True)
        connection.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        Session(device, connection).run()


if __name__ == "__main__":
    main()
