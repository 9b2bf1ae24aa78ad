#!/usr/bin/python3
"""A forging host for the namespace tests: builds NetBIOS name-service and
datagram-service packets with plain sockets, sends them (with a forged IPv4 source
through a raw socket when asked) and counts what the computers under test send back,
read off the wire with a packet socket. Each command prints one result line.

  forge.py announce NAME --to ADDR --port P [--workgroup W] [--period MS] [--type T]
      one HostAnnouncement for computer NAME to W<1d>, \\MAILSLOT\\BROWSE.
  forge.py answer NAME --give ADDR --name-port P --seconds S
      answers every NAME QUERY for NAME<00> with address ADDR, from this host;
      prints "answered N".
  forge.py query NAME --to ADDR --name-port P --source SRC [--count N] [--every S]
      sends NAME QUERY REQUESTs from SRC and counts the answers ADDR sends to SRC;
      prints "answers N".
  forge.py request --to BCAST --port P --source SRC --watch ADDR [--workgroup W]
                   [--count N] [--every S] [--listen S]
      sends AnnouncementRequests from SRC (a range "10.1.0.100-109" takes turns) and
      counts the HostAnnouncements ADDR sends meanwhile and for S seconds after;
      prints "announcements N".
  forge.py catch TEXT --me ADDR --port P [--seconds S]
      counts the datagrams to ADDR:P holding TEXT that reach this host, whatever
      computer they are addressed to; prints "caught N".
"""
import argparse
import select
import socket
import struct
import sys
import threading
import time


def encode_name(name, suffix):
    raw = name.upper().encode()[:15].ljust(15, b" ") + bytes([suffix])
    return bytes([0x20]) + bytes(c for b in raw for c in (0x41 + (b >> 4), 0x41 + (b & 15))) + b"\0"


def name_query(tid, name):
    return struct.pack(">HHHHHH", tid, 0x0110, 1, 0, 0, 0) + encode_name(name, 0) + struct.pack(">HH", 0x20, 1)


def name_answer(tid, name, address):
    return (struct.pack(">HHHHHH", tid, 0x8500, 0, 1, 0, 0) + encode_name(name, 0) +
            struct.pack(">HHIHH", 0x20, 1, 300, 6, 0) + socket.inet_aton(address))


def host_announcement(name, period_ms, server_type=3, comment=b"forged"):
    fixed = struct.pack("<BBI", 1, 0, period_ms) + name.upper().encode()[:15].ljust(16, b"\0")
    fixed += struct.pack("<BBIBBH", 6, 1, server_type, 15, 1, 0xAA55)
    return fixed + comment + b"\0"


def announcement_request(asker):
    return bytes([2, 0]) + asker.encode() + b"\0"


def mailslot_datagram(source_ip, port, source, destination, mailslot, data, tid=0x4242):
    """A DIRECT_GROUP datagram (RFC 1002 4.4.2) carrying an SMB mailslot write."""
    mailslot = mailslot.encode() + b"\0"
    offset = 32 + 1 + 17 * 2 + 2 + len(mailslot)  # of the data, from the SMB header
    words = bytearray(34)
    struct.pack_into("<H", words, 2, len(data))  # TotalDataCount
    struct.pack_into("<HHH", words, 20, offset, len(data), offset)  # ParameterOffset, DataCount, DataOffset
    struct.pack_into("<BBHHH", words, 26, 3, 0, 1, 1, 2)  # setup: mailslot write, priority 1, class 2
    smb = b"\xffSMB\x25" + bytes(27) + bytes([17]) + bytes(words) + struct.pack("<H", len(mailslot) + len(data))
    smb += mailslot + data
    body = encode_name(*source) + encode_name(*destination) + smb
    return struct.pack(">BBH4sHHH", 0x11, 0x02, tid, socket.inet_aton(source_ip), port, len(body), 0) + body


def checksum(data):
    if len(data) % 2:
        data += b"\0"
    total = sum(struct.unpack(">%dH" % (len(data) // 2), data))
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return ~total & 0xFFFF


def send_from(source, destination, sport, dport, payload):
    """One UDP datagram with any IPv4 source, through a raw socket."""
    udp = struct.pack(">HHHH", sport, dport, 8 + len(payload), 0) + payload
    header = struct.pack(">BBHHHBBH4s4s", 0x45, 0, 20 + len(udp), 0x1234, 0, 64, 17, 0,
                         socket.inet_aton(source), socket.inet_aton(destination))
    header = header[:10] + struct.pack(">H", checksum(header)) + header[12:]
    raw = socket.socket(socket.AF_INET, socket.SOCK_RAW, socket.IPPROTO_RAW)
    raw.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
    raw.sendto(header + udp, (destination, 0))
    raw.close()


class Sniffer:
    """Counts the UDP packets on the wire that `match(src, dst, sport, dport, payload)` accepts."""

    def __init__(self, match):
        self.match = match
        self.count = 0
        self.sock = socket.socket(socket.AF_PACKET, socket.SOCK_DGRAM, socket.htons(0x0800))
        self.stop = False
        self.thread = threading.Thread(target=self.run)
        self.thread.start()

    def run(self):
        while not self.stop:
            if not select.select([self.sock], [], [], 0.1)[0]:
                continue
            packet = self.sock.recv(65535)
            if len(packet) < 28 or packet[9] != 17:
                continue
            ihl = (packet[0] & 15) * 4
            src, dst = socket.inet_ntoa(packet[12:16]), socket.inet_ntoa(packet[16:20])
            sport, dport = struct.unpack(">HH", packet[ihl:ihl + 4])
            if self.match(src, dst, sport, dport, packet[ihl + 8:]):
                self.count += 1

    def finish(self, seconds):
        time.sleep(seconds)
        self.stop = True
        self.thread.join()
        return self.count


def announce(a):
    me = a.source or "0.0.0.0"
    datagram = mailslot_datagram(me, a.port, (a.name, 0), (a.workgroup, 0x1D), "\\MAILSLOT\\BROWSE",
                                 host_announcement(a.name, a.period, a.type))
    if a.source:
        send_from(a.source, a.to, a.port, a.port, datagram)
    else:
        s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        s.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
        s.sendto(datagram, (a.to, a.port))
    print("announced")


def answer(a):
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    s.bind(("0.0.0.0", a.name_port))
    print("ready", flush=True)
    answered, until = 0, time.time() + a.seconds
    while time.time() < until:
        if not select.select([s], [], [], 0.1)[0]:
            continue
        packet, asker = s.recvfrom(2048)
        if len(packet) == 50 and not packet[2] & 0x80 and packet[12:46] == encode_name(a.name, 0):
            s.sendto(name_answer(struct.unpack(">H", packet[:2])[0], a.name, a.give), asker)
            answered += 1
    print("answered", answered)


def query(a):
    sniffer = Sniffer(lambda src, dst, sport, dport, data: src == a.to and dst == a.source and sport == a.name_port)
    for i in range(a.count):
        send_from(a.source, a.to, a.name_port, a.name_port, name_query(0x7000 + i, a.name))
        time.sleep(a.every)
    print("answers", sniffer.finish(1.0))


def addresses(text):
    """"10.1.0.100-109": ten addresses; a plain address: itself."""
    head, _, last = text.rpartition(".")
    first, _, end = last.partition("-")
    return ["%s.%d" % (head, n) for n in range(int(first), int(end or first) + 1)]


def request(a):
    def is_announcement(src, dst, sport, dport, data):
        return src == a.watch and dport == a.port and b"\\MAILSLOT\\BROWSE\0\x01" in data
    sniffer = Sniffer(is_announcement)
    sources = addresses(a.source)
    for i in range(a.count):
        source = sources[i % len(sources)]
        datagram = mailslot_datagram(source, a.port, ("FORGER", 0), (a.workgroup, 0), "\\MAILSLOT\\BROWSE",
                                     announcement_request("FORGER"))
        send_from(source, a.to, a.port, a.port, datagram)
        time.sleep(a.every)
    print("announcements", sniffer.finish(a.listen))


def catch(a):
    sniffer = Sniffer(lambda src, dst, sport, dport, data: dst == a.me and dport == a.port and a.text.encode() in data)
    print("ready", flush=True)
    print("caught", sniffer.finish(a.seconds))


def main():
    parser = argparse.ArgumentParser()
    commands = parser.add_subparsers(dest="command", required=True)
    p = commands.add_parser("announce")
    p.add_argument("name")
    p.add_argument("--to", required=True)
    p.add_argument("--port", type=int, required=True)
    p.add_argument("--workgroup", default="OFFICE")
    p.add_argument("--period", type=int, default=720000)
    p.add_argument("--type", type=int, default=3)
    p.add_argument("--source")
    p = commands.add_parser("answer")
    p.add_argument("name")
    p.add_argument("--give", required=True)
    p.add_argument("--name-port", type=int, required=True)
    p.add_argument("--seconds", type=float, default=5)
    p = commands.add_parser("query")
    p.add_argument("name")
    p.add_argument("--to", required=True)
    p.add_argument("--name-port", type=int, required=True)
    p.add_argument("--source", required=True)
    p.add_argument("--count", type=int, default=5)
    p.add_argument("--every", type=float, default=0.1)
    p = commands.add_parser("request")
    p.add_argument("--to", required=True)
    p.add_argument("--port", type=int, required=True)
    p.add_argument("--source", required=True)
    p.add_argument("--watch", required=True)
    p.add_argument("--workgroup", default="OFFICE")
    p.add_argument("--count", type=int, default=10)
    p.add_argument("--every", type=float, default=0.2)
    p.add_argument("--listen", type=float, default=3)
    p = commands.add_parser("catch")
    p.add_argument("text")
    p.add_argument("--me", required=True)
    p.add_argument("--port", type=int, required=True)
    p.add_argument("--seconds", type=float, default=10)
    a = parser.parse_args()
    {"announce": announce, "answer": answer, "query": query, "request": request, "catch": catch}[a.command](a)


if __name__ == "__main__":
    sys.exit(main())
