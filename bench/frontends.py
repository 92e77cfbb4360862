#!/usr/bin/env python3
"""Start-up time and resident memory of the front-ends of one or more builds, side by side.

Usage: dbus-run-session -- xvfb-run -a bench/frontends.py [--runs N] LABEL=BINARY ...

For each binary, in the same run:
  line  first title   wall time from exec to the first line of `stratovane --line`
  line  RSS           VmRSS once the title of the first fetch (from a local server) is shown
  tray  start-up      wall time until the process has done its start-up work (no CPU used for
                      300 ms), and the CPU time its threads used until then
  tray  RSS           VmRSS after 3 s
and, with a panel on the session bus (bench/panelhost.py as the watcher: a host that draws
icons only; the indicator service as the watcher when installed: a host that draws labels):
  label host   start-up, CPU time and RSS as above
  icon host    start-up, CPU time and RSS as above
  first label  wall time from exec until the panel reads a non-empty label
  first window wall time from a click on the menu's first forecast entry (then on "Settings")
               until the window is mapped, the first time less the second time (the extra of the
               first window); Escape closes it in between
The runs of the builds alternate, so both see the same machine load. Medians are printed.
"""
import ctypes
import ctypes.util
import select
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


HERE = os.path.dirname(os.path.abspath(__file__))
INDICATOR_SERVICE = ("/usr/libexec/ayatana-indicator-application/"
                     "ayatana-indicator-application-service")


class MapWatch:
    """Top-level windows mapped on the display (no window manager: they are the root's children)."""
    MAP_NOTIFY, UNMAP_NOTIFY, SUBSTRUCTURE_NOTIFY_MASK = 19, 18, 1 << 19

    def __init__(self):
        x = ctypes.CDLL(ctypes.util.find_library("X11"))
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        for name in ("XPending", "XConnectionNumber", "XFlush", "XCloseDisplay"):
            getattr(x, name).argtypes = [ctypes.c_void_p]
        x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        self.x = x
        self.display = x.XOpenDisplay(None)
        x.XSelectInput(self.display, x.XDefaultRootWindow(self.display),
                       self.SUBSTRUCTURE_NOTIFY_MASK)
        x.XFlush(self.display)
        self.event = (ctypes.c_long * 24)()

    def wait(self, kind, timeout=10):
        """The monotonic time of the next event of this kind; None after the timeout."""
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            while self.x.XPending(self.display):
                self.x.XNextEvent(self.display, self.event)
                if ctypes.cast(self.event, ctypes.POINTER(ctypes.c_int))[0] == kind:
                    return time.monotonic()
            select.select([self.x.XConnectionNumber(self.display)], [], [], 0.01)
        return None

    def close(self):
        self.x.XCloseDisplay(self.display)


def owned(name):
    reply = subprocess.run(["gdbus", "call", "--session", "--dest", "org.freedesktop.DBus",
                            "--object-path", "/org/freedesktop/DBus", "--method",
                            "org.freedesktop.DBus.NameHasOwner", name],
                           capture_output=True, text=True).stdout
    return "true" in reply


def stop(process):
    process.terminate()
    try:
        process.wait(5)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def start_host(kind):
    """The watcher for a run: the indicator service (labels) or bench/panelhost.py (icons)."""
    if kind == "label":
        host = subprocess.Popen([INDICATOR_SERVICE], stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        while not owned("org.kde.StatusNotifierWatcher"):
            time.sleep(0.01)
        return host
    host = subprocess.Popen(["/usr/bin/python3", os.path.join(HERE, "panelhost.py")],
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    if host.stdout.readline().strip() != "ready":
        raise RuntimeError("the watcher's name is taken")
    return host


def ask(host, command):
    host.stdin.write(command + "\n")
    host.stdin.flush()
    return host.stdout.readline().split()


def window_latency(host, watch, entry, title):
    """Seconds from the click on `entry` until a window is mapped, twice, Escape in between."""
    times = []
    for _ in range(2):
        reply = ask(host, "click " + entry)
        if reply[0] != "clicked":
            return None
        mapped = watch.wait(MapWatch.MAP_NOTIFY)
        if mapped is None:
            return None
        times.append(mapped - float(reply[1]))
        time.sleep(0.3)
        # Escape closes the settings; Return presses the forecast window's OK.
        key = "Escape" if "Settings" in title else "Return"
        subprocess.run(["xdotool", "search", "--name", f"^{title}$", "windowfocus", "--sync",
                        "key", key], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        watch.wait(MapWatch.UNMAP_NOTIFY, 3)
        time.sleep(0.3)
    return times


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


def tray_run(binary, env, host_kind=None, windows=None):
    host = start_host(host_kind) if host_kind else None
    label = None
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
        rss = rss_kib(child.pid)
        if host_kind == "icon":
            reply = host.stdout.readline().split()
            label = float(reply[1]) - start if reply and reply[0] == "label" else None
            if windows is not None:
                watch = MapWatch()
                try:
                    for entry, title in (("", "Forecast"), ("Settings", "Stratovane Settings")):
                        windows[title] = window_latency(host, watch, entry, title)
                finally:
                    watch.close()
        return settled, last_cpu, rss, label
    finally:
        stop(child)
        if host:
            stop(host)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=11)
    parser.add_argument("builds", nargs="+", help="LABEL=BINARY")
    options = parser.parse_args()
    builds = [build.split("=", 1) for build in options.builds]

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    endpoint = f"http://127.0.0.1:{server.server_address[1]}/data/2.5/onecall"

    hosts = [None, "icon"] + (["label"] if os.path.exists(INDICATOR_SERVICE) else [])
    results = {label: {key: [] for key in ("first", "line_rss", "settled", "cpu", "tray_rss",
                                           "label", "windows")}
               for label, _ in builds}
    for label, _ in builds:
        for kind in hosts[1:]:
            for key in ("settled", "cpu", "tray_rss"):
                results[label][f"{kind} {key}"] = []
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
            for kind in hosts:
                for label, binary in builds:
                    windows = {}
                    settled, cpu, rss, first_label = tray_run(binary, env, kind, windows)
                    prefix = f"{kind} " if kind else ""
                    results[label][prefix + "settled"].append(settled * 1000)
                    results[label][prefix + "cpu"].append(cpu * 1000)
                    results[label][prefix + "tray_rss"].append(rss / 1024)
                    if first_label is not None:
                        results[label]["label"].append(first_label * 1000)
                    if windows:
                        results[label]["windows"].append(windows)
    server.shutdown()

    print(f"medians of {options.runs} runs")
    print(f"{'build':<12}{'line first title':>18}{'line RSS':>11}"
          f"{'tray start-up':>15}{'tray CPU':>10}{'tray RSS':>10}")
    for label, values in results.items():
        median = lambda key: statistics.median(values[key]) if values[key] else float("nan")
        print(f"{label:<12}{median('first'):>15.1f} ms{median('line_rss'):>8.1f} MB"
              f"{median('settled'):>12.0f} ms{median('cpu'):>7.0f} ms{median('tray_rss'):>7.1f} MB")
    for kind in hosts[1:]:
        print(f"with a host that draws {'labels' if kind == 'label' else 'icons only'}:")
        for label, values in results.items():
            median = lambda key: statistics.median(values[key]) if values[key] else float("nan")
            print(f"{label:<12}{'':>29}{median(kind + ' settled'):>12.0f} ms"
                  f"{median(kind + ' cpu'):>7.0f} ms{median(kind + ' tray_rss'):>7.1f} MB")
    print("first label on the bus after exec; first window: first, later, extra (ms)")
    for label, values in results.items():
        line = f"{label:<12}{statistics.median(values['label']) if values['label'] else float('nan'):>8.1f} ms"
        for title in ("Forecast", "Stratovane Settings"):
            pairs = [run[title] for run in values["windows"] if run.get(title)]
            if pairs:
                first = statistics.median(p[0] * 1000 for p in pairs)
                later = statistics.median(p[1] * 1000 for p in pairs)
                extra = statistics.median((p[0] - p[1]) * 1000 for p in pairs)
                line += f"   {title}: {first:.0f}, {later:.0f}, {extra:.0f}"
        print(line)


if __name__ == "__main__":
    sys.exit(main())
