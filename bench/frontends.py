#!/usr/bin/env python3
"""Start-up time and resident memory of the front-ends of one or more builds, side by side.

Usage: dbus-run-session -- xvfb-run -a bench/frontends.py [--runs N] LABEL=BINARY ...

For each binary, in the same run:
  line  first title   wall time from exec to the first line of `stratovane --line`
  line  RSS           VmRSS once the title of the first fetch (from a local server) is shown
  tray  start-up      wall time until the process has done its start-up work (no CPU used for
                      300 ms), and the CPU time its threads used until then
  tray  RSS           VmRSS after 3 s
The runs of the builds alternate, so both see the same machine load. Medians are printed.
"""
import argparse
import http.server
import json
import os
import statistics
import subprocess
import sys
import tempfile
import threading
import time

def answer():
    hour = 1765000800
    weather = lambda i: [{"id": 800, "main": "Clear", "description": "clear sky", "icon": "01d"}]
    hourly = [{"dt": hour + 3600 * i, "temp": 3.5 + i % 7, "feels_like": 1.2, "pressure": 1012,
               "humidity": 81, "clouds": 40, "pop": 0.2, "weather": weather(i)} for i in range(48)]
    daily = [{"dt": hour + 86400 * i, "sunrise": hour + 86400 * i - 3000,
              "sunset": hour + 86400 * i + 25000, "temp": {"min": -1.5, "max": 4.25},
              "clouds": 75, "pop": 0.4, "weather": weather(i)} for i in range(8)]
    minutely = [{"dt": hour + 60 * i, "precipitation": 0} for i in range(61)]
    return json.dumps({"lat": 59.404, "lon": 17.994, "timezone": "Europe/Stockholm",
                       "current": {"dt": hour, "temp": 3.5, "clouds": 40, "weather": weather(0)},
                       "minutely": minutely, "hourly": hourly, "daily": daily}).encode()


class Handler(http.server.BaseHTTPRequestHandler):
    body = answer()

    def do_GET(self):
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(self.body)))
        self.end_headers()
        self.wfile.write(self.body)

    def log_message(self, *args):
        pass


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def cpu_seconds(pid):
    """CPU time of the process's live threads, from the scheduler's nanosecond counts (clock
    ticks are 10 ms, too coarse for a start-up of tens of milliseconds)."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as stat:
                total += int(stat.read().split()[0])
        except OSError:
            pass  # the thread ended meanwhile
    return total / 1e9


def environment(config, endpoint):
    env = dict(os.environ, XDG_CONFIG_HOME=config, STRATOVANE_WEATHER_URL=endpoint,
               NO_AT_BRIDGE="1", GTK_A11Y="none", LC_ALL="C", TZ="UTC")
    return env


def line_run(binary, env):
    start = time.monotonic()
    child = subprocess.Popen([binary, "--line"], env=env, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL)
    try:
        child.stdout.readline()
        first = time.monotonic() - start
        while True:  # "Fetching...", then the fetched weather
            line = child.stdout.readline()
            if not line or "Fetching" not in line.decode():
                break
        time.sleep(0.2)
        return first, rss_kib(child.pid)
    finally:
        child.terminate()
        child.wait()


def tray_run(binary, env):
    start = time.monotonic()
    child = subprocess.Popen([binary], env=env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    try:
        last_cpu, last_change = -1.0, start
        while time.monotonic() - last_change < 0.3 and time.monotonic() - start < 10:
            cpu = cpu_seconds(child.pid)
            if cpu != last_cpu:
                last_cpu, last_change = cpu, time.monotonic()
            time.sleep(0.005)
        settled = last_change - start
        time.sleep(max(0.0, 3 - (time.monotonic() - start)))
        return settled, last_cpu, rss_kib(child.pid)
    finally:
        child.terminate()
        child.wait()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=11)
    parser.add_argument("builds", nargs="+", help="LABEL=BINARY")
    options = parser.parse_args()
    builds = [build.split("=", 1) for build in options.builds]

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    endpoint = f"http://127.0.0.1:{server.server_address[1]}/data/2.5/onecall"

    results = {label: {"first": [], "line_rss": [], "settled": [], "cpu": [], "tray_rss": []}
               for label, _ in builds}
    with tempfile.TemporaryDirectory() as config:
        os.makedirs(f"{config}/stratovane")
        with open(f"{config}/stratovane/settings.ini", "w") as settings:
            settings.write("[Settings]\napiKey=benchmark\nstatusBarOption=0\n")
        env = environment(config, endpoint)
        for _ in range(options.runs):
            for label, binary in builds:
                first, rss = line_run(binary, env)
                results[label]["first"].append(first * 1000)
                results[label]["line_rss"].append(rss / 1024)
            if "DISPLAY" not in os.environ:
                continue
            for label, binary in builds:
                settled, cpu, rss = tray_run(binary, env)
                results[label]["settled"].append(settled * 1000)
                results[label]["cpu"].append(cpu * 1000)
                results[label]["tray_rss"].append(rss / 1024)
    server.shutdown()

    print(f"medians of {options.runs} runs")
    print(f"{'build':<12}{'line first title':>18}{'line RSS':>11}"
          f"{'tray start-up':>15}{'tray CPU':>10}{'tray RSS':>10}")
    for label, values in results.items():
        median = lambda key: statistics.median(values[key]) if values[key] else float("nan")
        print(f"{label:<12}{median('first'):>15.1f} ms{median('line_rss'):>8.1f} MB"
              f"{median('settled'):>12.0f} ms{median('cpu'):>7.0f} ms{median('tray_rss'):>7.1f} MB")


if __name__ == "__main__":
    sys.exit(main())
