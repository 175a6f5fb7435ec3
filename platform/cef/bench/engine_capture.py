#!/usr/bin/env python3
"""The engine's own pictures of a page, natively on Linux, with the library's switches:

    engine_capture.py ENGINE URL WxH OUT_DIR [SETTLE_SECONDS]

Shows URL at WxH (scale 1), waits SETTLE_SECONDS (1) after the load, then writes
OUT_DIR/stream.jpg, the last screencast frame as the library receives it (JPEG, the library's
quality), and OUT_DIR/lossless.png, the engine's lossless capture (Page.captureScreenshot, PNG).
These are the reference pictures of the picture benchmark and the decoder benchmark.
"""
import base64
import os
import select
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import engine_rate  # noqa: E402  (same switches, same pipe)


def main():
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    engine, url, size, out = sys.argv[1:5]
    settle = float(sys.argv[5]) if len(sys.argv) > 5 else 1.0
    width, height = (int(v) for v in size.split("x"))
    os.makedirs(out, exist_ok=True)
    child, pipe, profile = engine_rate.start_engine(engine)
    try:
        session = engine_rate.screencast_page(pipe, width, height)
        pipe.call("Page.navigate", {"url": url}, session)
        last = None
        deadline = time.monotonic() + settle + 30
        quiet_from = time.monotonic()
        while True:
            # Frames until none has come for `settle` seconds.
            until = min(deadline, quiet_from + settle)
            if b"\0" not in pipe.buffer and not select.select(
                    [pipe.inp], [], [], max(0.0, until - time.monotonic()))[0]:
                if last is not None:
                    break
                if time.monotonic() > deadline:
                    raise TimeoutError("no frame of the page")
                continue
            message = pipe.read(deadline)
            if message.get("method") == "Page.screencastFrame":
                params = message["params"]
                pipe.send("Page.screencastFrameAck", {"sessionId": params["sessionId"]}, session)
                last = params["data"]
                quiet_from = time.monotonic()
        with open(os.path.join(out, "stream.jpg"), "wb") as f:
            f.write(base64.b64decode(last))
        shot = pipe.call("Page.captureScreenshot", {"format": "png"}, session)
        with open(os.path.join(out, "lossless.png"), "wb") as f:
            f.write(base64.b64decode(shot["data"]))
        print(f"wrote {out}/stream.jpg and {out}/lossless.png ({width} x {height})")
    finally:
        engine_rate.stop_engine(child, profile)


if __name__ == "__main__":
    main()
