#!/usr/bin/env python3
# The program itself, headless, on a demo station whose log has a break every minute: every
# break should play by itself, every reconciliation line appear while the program runs, the
# slave hear one AD_PLAY per break, and each break start within milliseconds of its time.
#   python3 benchmarks/process_soak.py STATION SECONDS PORT_OFFSET
import datetime, glob, os, select, signal, socket, statistics, subprocess, sys, time

station, seconds, offset = sys.argv[1], float(sys.argv[2]), int(sys.argv[3])
env = dict(os.environ, VNTZEL_WINDIR=station + "/windows", VNTZEL_APPDIR=station + "/app",
           VNTZEL_SYSTEMDRIVE=station + "/windows", VNTZEL_REGISTRY=station + "/windows/registry.ini",
           VNTZEL_HEADLESS="1", QT_QPA_PLATFORM="offscreen", VNTZEL_PORT_OFFSET=str(offset),
           VNTZEL_WAVE_OUT_DEVICES="null,null,null,null")
MARGIN = 30  # seconds a break needs to play out and be reconciled


def clock():
    """Seconds after midnight, local time, as the program's clock counts them."""
    t = datetime.datetime.now()
    return t.hour * 3600 + t.minute * 60 + t.second + t.microsecond / 1e6


def fields(line):
    """(time, cart, reference) of a log or reconciliation line of the split's chain, else None."""
    if len(line) < 59 or line[8] != "|" or line[9:13].strip() != "NE":
        return None
    h, m, s = (int(x) for x in line[0:8].split(":"))
    return h * 3600 + m * 60 + s, int(line[14:22]), line[59:].strip()


def log_breaks():
    """The split's breaks in today's log: {reference: (time, [carts])}, in file order."""
    logs = sorted(glob.glob(station + "/app/source/*.LOG"))
    breaks = {}
    for line in open(logs[0], encoding="latin-1").read().splitlines():
        f = fields(line)
        if f:
            breaks.setdefault(f[2], (f[0], []))[1].append(f[1])
    return breaks


def rec_lines():
    text = "".join(open(p, encoding="latin-1").read() for p in glob.glob(station + "/app/dest/*.REC"))
    return [f for f in map(fields, text.splitlines()) if f]


program = subprocess.Popen(["build/VNTZEL", "/DEBUG"], env=env, stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL)
started = clock()
ready = None
while ready is None and clock() - started < 120:
    if select.select([program.stdout], [], [], 1)[0]:
        line = program.stdout.readline().decode(errors="replace")
        if line.startswith("VNTZEL ready"):
            ready = clock()
if ready is None:
    program.kill()
    sys.exit("process_soak: the program did not become ready")
slave = socket.create_connection(("127.0.0.1", 6930 + offset))
slave.setblocking(False)
plays, pending = [], b""
while clock() - started < seconds:
    if select.select([slave], [], [], 0.05)[0]:
        pending += slave.recv(65536)
        *lines, pending = pending.replace(b"\n", b"").split(b"\r")
        plays += [clock() for line in lines if line == b"AD_PLAY"]
seen = rec_lines()  # read before the program is told to stop
program.send_signal(signal.SIGTERM)
program.wait()

breaks = {ref: b for ref, b in log_breaks().items() if ready + 2 <= b[0] <= started + seconds - MARGIN}
played = adverts = lines_running = most_plays = 0
starts = []  # milliseconds from each played break's time to its start
for ref, (when, carts) in breaks.items():
    got = [(t, cart) for t, cart, r in seen if r == ref]
    heard = [t for t in plays if when - 1 <= t < when + 59]
    adverts += len(carts)
    lines_running += len(got)
    most_plays = max(most_plays, len(heard))
    if [cart for _, cart in got] != carts:
        continue
    played += 1
    # The slave hears AD_PLAY from the tick that starts the first advert, so its arrival gives
    # the start to the millisecond; unheard, the reconciliation line gives it to the second.
    starts.append(((heard[0] if heard else got[0][0]) - when) * 1000.0)
print(f"process_soak_seconds {seconds:.0f}")
print(f"process_soak_breaks {len(breaks)}")
print(f"process_soak_breaks_played {played}")
print(f"process_soak_adverts {adverts}")
print(f"process_soak_rec_lines_while_running {lines_running}")
print(f"process_soak_ad_play_per_break_max {most_plays}")
print(f"process_soak_late_start_median_ms {statistics.median(starts) if starts else 0:.1f}")
print(f"process_soak_late_start_max_ms {max(starts, default=0):.1f}")
