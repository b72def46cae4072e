#!/usr/bin/env python3
# The program itself, headless and tracing (/DEBUG), flooded on each TCP door in turn for SECONDS:
# a controller that asks "SERVICE_NAME?" without pause on the playout-system port, a machine that
# sends lines without pause on the machines port; then a storm of short connections (connect,
# "HELP", close) on both ports at once. Prints how much each flood grew the trace.
#   python3 benchmarks/trace_flood.py STATION SECONDS PORT_OFFSET
import glob, os, select, signal, socket, subprocess, sys, threading, time

station, seconds, offset = sys.argv[1], float(sys.argv[2]), int(sys.argv[3])
env = dict(os.environ, VNTZEL_WINDIR=station + "/windows", VNTZEL_APPDIR=station + "/app",
           VNTZEL_SYSTEMDRIVE=station + "/windows", VNTZEL_REGISTRY=station + "/windows/registry.ini",
           VNTZEL_HEADLESS="1", QT_QPA_PLATFORM="offscreen", VNTZEL_PORT_OFFSET=str(offset),
           VNTZEL_WAVE_OUT_DEVICES="null,null,null,null")


def trace_bytes():
    return sum(os.path.getsize(f) for f in glob.glob(station + "/windows/VNTZEL.*.log"))


def flood(port, first, block):
    """Sends first, then block over and over for the given seconds, reading all that comes."""
    peer = socket.create_connection(("127.0.0.1", port))
    stop = time.monotonic() + seconds
    def drain():
        try:
            while peer.recv(65536):
                pass
        except OSError:
            pass
    reader = threading.Thread(target=drain, daemon=True)
    reader.start()
    peer.sendall(first)
    time.sleep(0.5)
    before = trace_bytes()
    while time.monotonic() < stop:
        try:
            peer.sendall(block)
        except OSError:
            break
    time.sleep(1.5)  # the last second's count of left-out lines
    grown = trace_bytes() - before
    peer.close()
    return grown


def storm(ports, threads_per_port=16):
    """Short connections on every port, one after another on several threads, for the seconds."""
    stop = time.monotonic() + seconds
    def connections(port):
        while time.monotonic() < stop:
            try:
                with socket.create_connection(("127.0.0.1", port), timeout=2) as peer:
                    peer.sendall(b"HELP\r")
            except OSError:
                pass
    before = trace_bytes()
    clients = [threading.Thread(target=connections, args=(port,), daemon=True)
               for port in ports for _ in range(threads_per_port)]
    for client in clients:
        client.start()
    for client in clients:
        client.join()
    time.sleep(1.5)  # the last second's count of left-out lines
    return trace_bytes() - before


program = subprocess.Popen(["build/VNTZEL", "/DEBUG"], env=env, stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL)
start = time.monotonic()
ready = False
while not ready and time.monotonic() - start < 120:
    if select.select([program.stdout], [], [], 1)[0]:
        ready = program.stdout.readline().decode(errors="replace").startswith("VNTZEL ready")
if not ready:
    program.kill()
    sys.exit("trace_flood: the program did not become ready")
playout = flood(6969 + offset, b"NET_CONTROL_LOGON FLOOD 0,0\r", b"SERVICE_NAME?\r" * 4096)
machines = flood(6930 + offset, b"", (b"x" * 1000 + b"\r") * 64)
stormed = storm([6969 + offset, 6930 + offset])
program.send_signal(signal.SIGTERM)
program.wait()
print(f"trace_flood_seconds {seconds:.0f}")
print(f"trace_flood_playout_mb {playout / 1e6:.2f}")
print(f"trace_flood_machines_mb {machines / 1e6:.2f}")
print(f"trace_flood_storm_mb {stormed / 1e6:.2f}")
