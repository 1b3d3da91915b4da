#!/usr/bin/env python3
"""Resident memory of the program after it has loaded a month feed with the default picture.

Runs Quorvel under xvfb-run with every service address pointed at a small HTTP server on
127.0.0.1 that answers the month feed from tests/data/feeds (its detail links rewritten to the
same server) and 404 for everything else, with a temporary HOME so that no real settings, kept
list or cache take part. Once the feed has been fetched and the program's CPU time has stood
still for a while, it prints VmRSS and VmHWM from /proc/PID/status and ends the program.

    tools/measureMemory.py [--program build/bin/Quorvel] [--feed FILE] [--screenshot FILE.png]
"""

import argparse
import functools
import http.server
import os
import pathlib
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

FEED_PATH = "/earthquakes/feed/v1.0/summary/2.5_month.geojson"
SERVICE_VARIABLES = [
    "QUORVEL_USGS_FEED_URL", "QUORVEL_USGS_EVENT_PAGE_URL", "QUORVEL_USGS_NEIC_URL",
    "QUORVEL_WCATWC_URL", "QUORVEL_PTWC_URL", "QUORVEL_FDSN_EVENT_URL", "QUORVEL_INGV_URL",
    "QUORVEL_EMSC_URL", "QUORVEL_PDE_URL", "QUORVEL_WEB_URL", "QUORVEL_MAPS_URL",
    "QUORVEL_NEWS_URL", "QUORVEL_CMT_URL", "QUORVEL_TWITTER_URL", "QUORVEL_TIMESERIES_URL",
]


class FeedServer(http.server.BaseHTTPRequestHandler):
    """Answers the month feed at its path; everything else is not found."""

    def __init__(self, feed, served, *args, **kwargs):
        self.feed = feed
        self.served = served
        super().__init__(*args, **kwargs)

    def do_GET(self):  # noqa: N802 (the handler's name is fixed)
        if self.path.split("?")[0] == FEED_PATH:
            self.send_response(200)
            self.send_header("Content-Type", "application/json")
            self.send_header("Content-Length", str(len(self.feed)))
            self.end_headers()
            self.wfile.write(self.feed)
            self.served.set()
        else:
            self.send_error(404)

    def log_message(self, *args):
        pass


def status_fields(pid):
    fields = {}
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            key, _, value = line.partition(":")
            fields[key] = value.strip()
    return fields


def cpu_ticks(pid):
    with open(f"/proc/{pid}/stat") as stat:
        parts = stat.read().rsplit(")", 1)[1].split()
    return int(parts[11]) + int(parts[12])  # utime + stime


def print_mappings(pid):
    """The ten largest resident mappings, and the totals of anonymous and file memory."""
    mappings, current = [], None
    with open(f"/proc/{pid}/smaps") as smaps:
        for line in smaps:
            head = line.split()
            if "-" in head[0] and not head[0].endswith(":"):
                current = [head[5] if len(head) > 5 else "[anonymous]", 0, 0]
                mappings.append(current)
            elif head[0] == "Rss:":
                current[1] = int(head[1])
            elif head[0] == "Anonymous:":
                current[2] = int(head[1])
    anonymous = sum(m[2] for m in mappings)
    print(f"anonymous {anonymous} kB, file-backed {sum(m[1] for m in mappings) - anonymous} kB")
    for name, rss, _ in sorted(mappings, key=lambda m: -m[1])[:10]:
        print(f"  {rss:8d} kB  {name}")


def program_pid(wrapper_pid, name):
    """xvfb-run starts the program as a grandchild; find it by parent chain."""
    for entry in pathlib.Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            if (entry / "comm").read_text().strip() != name[:15]:
                continue
            ppid = int((entry / "stat").read_text().rsplit(")", 1)[1].split()[1])
            while ppid > 1:
                if ppid == wrapper_pid:
                    return int(entry.name)
                ppid = int(pathlib.Path(f"/proc/{ppid}/stat").read_text().rsplit(")", 1)[1].split()[1])
        except (OSError, ValueError):
            continue
    return None


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", default=str(root / "build/bin/Quorvel"))
    parser.add_argument("--feed", default=str(root / "tests/data/feeds/sgoggins_2.5_month_20251029.geojson"))
    parser.add_argument("--quiet-seconds", type=float, default=3.0,
                        help="how long the CPU time must stand still after the feed was served")
    parser.add_argument("--timeout", type=float, default=180.0)
    parser.add_argument("--details", action="store_true",
                        help="also list the largest resident mappings and the totals by kind")
    parser.add_argument("--screenshot", help="also save the screen (ImageMagick import) to this PNG")
    options = parser.parse_args()

    served = threading.Event()
    feed = pathlib.Path(options.feed).read_bytes()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), None)
    base = f"http://127.0.0.1:{server.server_address[1]}"
    server.RequestHandlerClass = functools.partial(
        FeedServer, feed.replace(b"https://earthquake.usgs.gov", base.encode()), served)
    threading.Thread(target=server.serve_forever, daemon=True).start()

    home = tempfile.mkdtemp(prefix="quorvel-memory-")
    environment = dict(os.environ, HOME=home, XDG_CONFIG_HOME=f"{home}/config",
                       XDG_DATA_HOME=f"{home}/data", XDG_CACHE_HOME=f"{home}/cache")
    environment.pop("QT_QPA_PLATFORM", None)
    for variable in SERVICE_VARIABLES:
        environment[variable] = base
    command = ["xvfb-run", "-a", "-s", "-screen 0 1920x1200x24", options.program]
    wrapper = subprocess.Popen(command, env=environment, start_new_session=True,
                               stdout=subprocess.DEVNULL, stderr=open(f"{home}/log", "w"))
    try:
        deadline = time.monotonic() + options.timeout
        pid = None
        while pid is None and time.monotonic() < deadline:
            time.sleep(0.2)
            pid = program_pid(wrapper.pid, pathlib.Path(options.program).name)
        if pid is None:
            sys.exit("the program did not start; see " + f"{home}/log")
        if not served.wait(max(0.0, deadline - time.monotonic())):
            sys.exit("the program never asked for the feed")
        last, still_since = cpu_ticks(pid), time.monotonic()
        while time.monotonic() - still_since < options.quiet_seconds:
            if time.monotonic() > deadline:
                sys.exit("the program never went quiet")
            time.sleep(0.25)
            now = cpu_ticks(pid)
            if now != last:
                last, still_since = now, time.monotonic()
        fields = status_fields(pid)
        print(f"VmRSS {fields['VmRSS']}")
        print(f"VmHWM {fields['VmHWM']}")
        if options.details:
            print_mappings(pid)
        if options.screenshot:
            # The X server and its key are the ones xvfb-run gave the program.
            with open(f"/proc/{pid}/environ", "rb") as env:
                x = dict(item.decode().split("=", 1) for item in env.read().split(b"\0")
                         if item.startswith((b"DISPLAY=", b"XAUTHORITY=")))
            subprocess.run(["import", "-window", "root", options.screenshot], check=True,
                           env=dict(environment, **x))
    finally:
        try:
            os.killpg(wrapper.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        wrapper.wait(timeout=30)
        server.shutdown()
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    main()
