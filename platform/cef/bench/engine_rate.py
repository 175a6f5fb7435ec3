#!/usr/bin/env python3
"""The engine alone, without the library: runs natively on Linux and starts the engine with the
same switches the library uses, over the same DevTools pipe.

    engine_rate.py ENGINE SECONDS [WARMUP] [--size WxH] [--page URL]
        Shows the animated canvas page (or URL) at the size (1280x720) and counts the screencast
        frames it streams, acknowledging each one on arrival (as the library does before
        decoding). Prints "engine alone: N.N fps".
    engine_rate.py ENGINE --startup URL R,G,B [--size WxH]
        From the engine's start: when it first answers, and when the first screencast frame of
        URL shows its colour R,G,B in the middle. Prints "engine alone: answered N ms, first
        frame N ms".
    engine_rate.py ENGINE --clicks URL COUNT [--size WxH]
        Click to frame: presses the middle of URL (a page that changes its whole picture on a
        press, tests/game/pages/click.html) COUNT times, each after the stream has been quiet
        for 250 ms, and times each press to the arrival of the next frame: what the engine
        alone takes before any window can show the change. Prints "engine alone: click to
        frame min N ms, median N ms, max N ms".
"""
import io
import json
import os
import select
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

WIDTH, HEIGHT = 1280, 720

# The same page as cef_frame_rate_bench (frame_rate_bench.cc), kept in step with it.
PAGE = (
    "data:text/html,<html><body style='margin:0;overflow:hidden'>"
    "<canvas id=c width=1280 height=720></canvas><script>"
    "const c=document.getElementById('c').getContext('2d');let n=0;"
    "function f(){n++;const g=c.createLinearGradient(0,0,1280,720);"
    "g.addColorStop(0,'hsl('+(n%25360)+',80%25,50%25)');"
    "g.addColorStop(1,'hsl('+((n*3)%25360)+',80%25,30%25)');c.fillStyle=g;c.fillRect(0,0,1280,720);"
    "for(let i=0;i<40;i++){c.fillStyle='hsl('+((i*9+n)%25360)+',90%25,60%25)';"
    "c.fillRect((i*97+n*4)%251280,(i*53+n*2)%25720,60,60);}requestAnimationFrame(f);}f();"
    "</script></body></html>"
)

# The library's switches for a Linux engine run by root (platform/cef/src/core/engine_switches.cc).
SWITCHES = [
    "--headless=new", "--remote-debugging-pipe", "--no-first-run",
    "--no-default-browser-check", "--disable-background-networking",
    "--disable-component-update", "--disable-sync", "--disable-quic",
    "--enable-unsafe-swiftshader", "--disable-gpu", "--no-sandbox",
]


class Pipe:
    """The DevTools pipe: NUL-terminated JSON messages on fds 3 (to the engine) and 4 (from it)."""

    def __init__(self, to_engine, from_engine):
        self.out, self.inp = to_engine, from_engine
        self.buffer = b""
        self.next_id = 0

    def send(self, method, params=None, session=None):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.out, json.dumps(message).encode() + b"\0")
        return self.next_id

    def read(self, deadline):
        while b"\0" not in self.buffer:
            if time.monotonic() > deadline:
                raise TimeoutError("the engine did not answer")
            chunk = os.read(self.inp, 1 << 20)
            if not chunk:
                raise EOFError("the engine closed the pipe")
            self.buffer += chunk
        text, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(text)

    def call(self, method, params=None, session=None, limit=60):
        wanted = self.send(method, params, session)
        deadline = time.monotonic() + limit
        while True:
            message = self.read(deadline)
            if message.get("id") == wanted:
                if "error" in message:
                    raise RuntimeError(f"{method}: {message['error']}")
                return message.get("result", {})


def start_engine(engine):
    """The engine on a fresh profile, its pipe, and the profile to remove afterwards."""
    profile = tempfile.mkdtemp(prefix="engine-rate-")
    to_engine_r, to_engine_w = os.pipe()
    from_engine_r, from_engine_w = os.pipe()
    # The engine reads commands on fd 3 and writes replies on fd 4.
    child = subprocess.Popen(
        [engine, *SWITCHES, f"--user-data-dir={profile}", "about:blank"],
        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
        pass_fds=(3, 4), preexec_fn=lambda: (os.dup2(to_engine_r, 3), os.dup2(from_engine_w, 4)),
        start_new_session=True)
    os.close(to_engine_r)
    os.close(from_engine_w)
    return child, Pipe(to_engine_w, from_engine_r), profile


def stop_engine(child, profile):
    try:
        os.killpg(child.pid, 15)
    except ProcessLookupError:
        pass
    child.wait()
    shutil.rmtree(profile, ignore_errors=True)


def screencast_page(pipe, width, height):
    """A page target shown at width x height, streaming its frames; its session."""
    target = pipe.call("Target.createTarget", {"url": "about:blank"})["targetId"]
    session = pipe.call("Target.attachToTarget", {"targetId": target, "flatten": True})[
        "sessionId"]
    pipe.call("Page.enable", session=session)
    pipe.call("Emulation.setDeviceMetricsOverride",
              {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False},
              session=session)
    pipe.call("Page.startScreencast", {"format": "jpeg", "quality": 80, "maxWidth": 8192,
                                       "maxHeight": 8192, "everyNthFrame": 1},
              session=session)
    return session


def option(name, default):
    if name in sys.argv:
        return sys.argv[sys.argv.index(name) + 1]
    return default


def measure_startup(engine, url, colour, width, height):
    from PIL import Image  # python3-pil; only this mode needs it
    import base64
    wanted = tuple(int(c) for c in colour.split(","))
    started = time.monotonic()
    child, pipe, profile = start_engine(engine)
    try:
        pipe.call("Browser.getVersion")
        answered = time.monotonic()
        session = screencast_page(pipe, width, height)
        pipe.send("Page.navigate", {"url": url}, session)
        deadline = time.monotonic() + 60
        while True:
            message = pipe.read(deadline)
            if message.get("method") != "Page.screencastFrame":
                continue
            params = message["params"]
            pipe.send("Page.screencastFrameAck", {"sessionId": params["sessionId"]}, session)
            image = Image.open(io.BytesIO(base64.b64decode(params["data"]))).convert("RGB")
            pixel = image.getpixel((image.width // 2, image.height // 2))
            if all(abs(p - w) <= 12 for p, w in zip(pixel, wanted)):
                break
        shown = time.monotonic()
        print(f"engine alone: answered {(answered - started) * 1000:.0f} ms, "
              f"first frame {(shown - started) * 1000:.0f} ms", flush=True)
    finally:
        stop_engine(child, profile)


def measure_clicks(engine, url, count, width, height):
    child, pipe, profile = start_engine(engine)
    try:
        session = screencast_page(pipe, width, height)
        pipe.send("Page.navigate", {"url": url}, session)

        def next_frame(quiet):
            """Reads until a frame arrives (its time) or nothing has come for `quiet` seconds
            (None), acknowledging every frame."""
            while True:
                if b"\0" not in pipe.buffer and not select.select([pipe.inp], [], [], quiet)[0]:
                    return None
                message = pipe.read(time.monotonic() + 30)
                if message.get("method") == "Page.screencastFrame":
                    pipe.send("Page.screencastFrameAck",
                              {"sessionId": message["params"]["sessionId"]}, session)
                    return time.monotonic()

        def settle(quiet):
            while next_frame(quiet) is not None:
                pass

        settle(1.5)
        latencies = []
        for _ in range(count):
            pressed = time.monotonic()
            for kind in ("mousePressed", "mouseReleased"):
                pipe.send("Input.dispatchMouseEvent",
                          {"type": kind, "x": width // 2, "y": height // 2, "button": "left",
                           "clickCount": 1}, session)
            arrived = next_frame(5)
            if arrived is not None:
                latencies.append((arrived - pressed) * 1000)
            settle(0.25)
        if not latencies:
            sys.exit("engine alone: no frame after a click")
        print(f"engine alone: click to frame min {min(latencies):.1f} ms, "
              f"median {statistics.median(latencies):.1f} ms, max {max(latencies):.1f} ms",
              flush=True)
    finally:
        stop_engine(child, profile)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    engine = sys.argv[1]
    width, height = (int(v) for v in option("--size", f"{WIDTH}x{HEIGHT}").split("x"))
    if sys.argv[2] == "--startup":
        measure_startup(engine, sys.argv[3], sys.argv[4], width, height)
        return
    if sys.argv[2] == "--clicks":
        measure_clicks(engine, sys.argv[3], int(sys.argv[4]), width, height)
        return
    seconds = float(sys.argv[2])
    warmup = float(sys.argv[3]) if len(sys.argv) > 3 and not sys.argv[3].startswith("--") else 2.0
    child, pipe, profile = start_engine(engine)
    try:
        session = screencast_page(pipe, width, height)
        pipe.send("Page.navigate", {"url": option("--page", PAGE)}, session)
        start = time.monotonic()
        counting_from = start + warmup
        end = counting_from + seconds
        frames = 0
        while True:
            message = pipe.read(end + 30)
            now = time.monotonic()
            if message.get("method") == "Page.screencastFrame":
                pipe.send("Page.screencastFrameAck",
                          {"sessionId": message["params"]["sessionId"]}, session)
                if counting_from <= now:
                    frames += 1
            if now >= end:
                break
        print(f"engine alone: {frames / (now - counting_from):.1f} fps", flush=True)
    finally:
        stop_engine(child, profile)


if __name__ == "__main__":
    main()
