"""Ratios of every benchmark to its program's floor, from Google Benchmark's
JSON files, as a Markdown table (the figures of docs/performance.md)."""
import json
import re
import sys
from pathlib import Path

# The floor each program measures its work against: a benchmark name, or a
# name with "{args}" standing for the measured benchmark's own arguments.
FLOORS = {
    "bench_commandbars": ("BM_FindFirstControl", "finding the first control of a bar"),
    "bench_content_layout": ("BM_MoveOneControl", "moving one control"),
    "bench_procedure": ("BM_MoveOneControl", "moving one control"),
    "bench_progress_drawing": ("BM_Floor/{args}", "memcpy of the same number of pixels"),
    "bench_rtf": ("BM_ScanBytes", "one pass over the document's bytes"),
    "bench_settings_store": ("BM_MemoryRead", "reading a value from the memory store"),
    "bench_statusbar": (None, "memcpy of the status bar's pixels (x_floor, measured inside the run)"),
    "bench_toolbar": ("BM_KeyPressToButtonClick", "an F9 press reaching ButtonClick"),
    "bench_demo_host": ("BM_MoveOneControl", "moving one control"),
    "bench_qt_progress": ("BM_Progress_BuiltinTheme/{args}", "the built-in theme's bar of the same size"),
}


def base_and_args(name):
    name = re.sub(r"_(min|mean|median|stddev|cv)$", "", name)
    name = re.sub(r"/repeats:\d+", "", name)
    parts = name.split("/")
    return parts[0], "/".join(p for p in parts[1:] if p)


def main(folder):
    rows = []
    for f in sorted(Path(folder).glob("bench_*.json")):
        prog = f.stem
        data = json.loads(f.read_text())
        times = {}
        counters = {}
        for b in data["benchmarks"]:
            # Aggregated programs report their fastest repetition as "_min".
            if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "min":
                continue
            base, args = base_and_args(b["name"])
            key = base + ("/" + args if args else "")
            t = b["cpu_time"] * {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b["time_unit"]]
            if key not in times or t < times[key]:
                times[key] = t
                counters[key] = b.get("x_floor")
        floor_pattern, floor_text = FLOORS.get(prog, (None, "?"))
        for key, t in times.items():
            base, args = base_and_args(key)
            if floor_pattern is None:
                ratio = counters.get(key)
            else:
                floor_key = floor_pattern.replace("{args}", args).rstrip("/")
                if floor_key == key or floor_key not in times:
                    continue
                ratio = t / times[floor_key]
            if ratio is None:
                continue
            rows.append((prog, key, t, ratio, floor_text))
    print("| program | benchmark | CPU time | ratio | floor |")
    print("|---|---|---:|---:|---|")
    for prog, key, t, ratio, floor_text in rows:
        shown = f"{t/1e6:.2f} ms" if t >= 1e6 else f"{t/1e3:.1f} µs" if t >= 1e3 else f"{t:.0f} ns"
        print(f"| {prog} | {key} | {shown} | {ratio:,.2f}× | {floor_text} |")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "build/bench-results")
