#!/usr/bin/env python3
"""The engine's own headless frame rate, without the library: runs natively on Linux, starts the
engine with the same switches the library uses, shows the same animated 1280 x 720 canvas page
and counts the screencast frames it streams, acknowledging each one on arrival (as the library
does before decoding).

    engine_rate.py ENGINE SECONDS [WARMUP]

Prints one line: "engine alone: N.N fps".
"""
import json
import os
import shutil
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

# The library's fixed switches (platform/cef/src/core/startup.cc) plus --no-sandbox.
SWITCHES = [
    "--headless=new", "--remote-debugging-pipe", "--disable-gpu", "--no-first-run",
    "--no-default-browser-check", "--disable-background-networking",
    "--disable-component-update", "--disable-sync", "--disable-quic", "--no-sandbox",
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


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    engine, seconds = sys.argv[1], float(sys.argv[2])
    warmup = float(sys.argv[3]) if len(sys.argv) > 3 else 2.0
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
    pipe = Pipe(to_engine_w, from_engine_r)
    try:
        target = pipe.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = pipe.call("Target.attachToTarget", {"targetId": target, "flatten": True})[
            "sessionId"]
        pipe.call("Page.enable", session=session)
        pipe.call("Emulation.setDeviceMetricsOverride",
                  {"width": WIDTH, "height": HEIGHT, "deviceScaleFactor": 1, "mobile": False},
                  session=session)
        pipe.call("Page.startScreencast", {"format": "jpeg", "quality": 80, "maxWidth": 8192,
                                           "maxHeight": 8192, "everyNthFrame": 1},
                  session=session)
        pipe.send("Page.navigate", {"url": PAGE}, session)
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
        try:
            os.killpg(child.pid, 15)
        except ProcessLookupError:
            pass
        child.wait()
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == "__main__":
    main()
