#!/usr/bin/env python3
"""Rendering long snippet texts in the editor control under Wine: one
formatted piece per character (only at 1,000 and 2,000 characters; it grows
quadratically) against the one-go rendering, with the ratio. Prints
`name: value` lines.

    bench_render.py BUILD_DIR
"""

import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from harness import WineSession  # noqa: E402


def main():
    build = Path(sys.argv[1] if len(sys.argv) > 1 else "build/win32").resolve()
    with WineSession(build) as session:
        started = time.monotonic()
        result = session.run(session.exe("render_bench.exe"), 1000, 2000, "--", 1000, 10000, 30000,
                             timeout=600, check=True)
        for line in result.stdout.splitlines():
            if ": " in line:
                print(line, flush=True)
        print(f"render_bench_wall_s: {time.monotonic() - started:.1f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
