#!/usr/bin/env python3
"""Runs the frame benchmarks (or reads their JSON output) and prints the table
of per-frame costs: scene, N (CV points drawn per frame), time per frame, time
per CV, and the ratio to the floor benchmark of the same N from the same run.

    tools/bench_table.py                          # runs build/bench/knotlens_bench
    tools/bench_table.py --bench PATH -- --benchmark_filter=groom
    tools/bench_table.py --json results.json      # a saved run
    tools/bench_table.py --targets                # also check the performance targets

Times are CPU times (the benchmarks are single-threaded). With repetitions
the median is used when the run reports aggregates.
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile

FLOOR_PREFIX = "floor/"

_UNIT_SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


class Row:
    """One benchmark of the run, reduced to what the table shows."""

    def __init__(self, name, seconds=None, n=None, counters=None, error=None):
        self.name = name
        self.seconds = seconds  # per frame (per iteration)
        self.n = n  # CV points drawn per frame
        self.counters = counters or {}
        self.error = error

    @property
    def is_floor(self):
        return self.name.startswith(FLOOR_PREFIX)

    @property
    def per_cv(self):
        if self.seconds is None or not self.n:
            return None
        return self.seconds / self.n


def _entry_seconds(entry):
    unit = entry.get("time_unit", "ns")
    if unit not in _UNIT_SECONDS:
        raise ValueError("unknown time unit %r in %s" % (unit, entry.get("name")))
    return float(entry["cpu_time"]) * _UNIT_SECONDS[unit]


_ENTRY_KEYS = {
    "name", "run_name", "run_type", "aggregate_name", "aggregate_unit", "family_index",
    "per_family_instance_index", "repetitions", "repetition_index", "threads", "iterations",
    "real_time", "cpu_time", "time_unit", "error_occurred", "error_message", "label",
}


def _counters(entry):
    return {k: v for k, v in entry.items() if k not in _ENTRY_KEYS and isinstance(v, (int, float))}


def rows_from_json(data):
    """Rows in run order, one per benchmark. Aggregates (median, else mean)
    win over the single repetitions of the same benchmark; repetitions
    without aggregates are reduced to their median."""
    order = []
    iterations = {}
    aggregates = {}
    errors = {}
    for entry in data.get("benchmarks", []):
        run_name = entry.get("run_name", entry["name"])
        if run_name not in order:
            order.append(run_name)
        if entry.get("error_occurred"):
            errors[run_name] = entry.get("error_message", "error")
            continue
        if entry.get("run_type") == "aggregate":
            if entry.get("aggregate_unit", "time") != "time":
                continue
            aggregates.setdefault(run_name, {})[entry.get("aggregate_name")] = entry
        else:
            iterations.setdefault(run_name, []).append(entry)

    rows = []
    for run_name in order:
        if run_name in errors:
            rows.append(Row(run_name, error=errors[run_name]))
            continue
        aggs = aggregates.get(run_name, {})
        chosen = aggs.get("median") or aggs.get("mean")
        if chosen is not None:
            seconds, counters = _entry_seconds(chosen), _counters(chosen)
        else:
            entries = iterations.get(run_name, [])
            if not entries:
                continue
            seconds = statistics.median(_entry_seconds(e) for e in entries)
            counters = _counters(entries[0])
        n = counters.get("cvs")
        rows.append(Row(run_name, seconds, int(round(n)) if n else None, counters))
    return rows


def floors_by_n(rows):
    return {r.n: r for r in rows if r.is_floor and r.error is None and r.n}


def floor_ratio(row, floors):
    floor = floors.get(row.n)
    if floor is None or row.seconds is None or not floor.seconds:
        return None
    return row.seconds / floor.seconds


def format_time(seconds):
    if seconds is None:
        return "n/a"
    if seconds >= 1.0:
        return "%.2f s" % seconds
    if seconds >= 1e-3:
        return "%.3f ms" % (seconds * 1e3)
    if seconds >= 1e-6:
        return "%.2f µs" % (seconds * 1e6)
    return "%.2f ns" % (seconds * 1e9)


def _counter_time(row, counter):
    """A per-frame time the benchmark reports as a counter in microseconds
    (prepare_us, draw_us); empty when it reports none."""
    value = row.counters.get(counter)
    return format_time(value * 1e-6) if value is not None else ""


def format_table(rows):
    """The frame table (benchmarks that draw N CVs, floors last), followed by
    a table of the other benchmarks of the run (host kernels). The prepare
    and draw columns split a frame into its preparation (prepareForDraw) and
    its drawing (addUIDrawables), each clocked on its own."""
    floors = floors_by_n(rows)
    lines = [
        "| scene | N | time / frame | prepare | draw | per CV | x floor |",
        "|---|---:|---:|---:|---:|---:|---:|",
    ]
    framed = [r for r in rows if r.n or r.error is not None]
    scenes = [r for r in framed if not r.is_floor] + sorted((r for r in framed if r.is_floor), key=lambda r: r.n or 0)
    for r in scenes:
        if r.error is not None:
            lines.append("| %s | | skipped: %s | | | | |" % (r.name, r.error))
            continue
        ratio = floor_ratio(r, floors)
        lines.append("| %s | %s | %s | %s | %s | %s | %s |" % (
            r.name,
            "{:,}".format(r.n),
            format_time(r.seconds),
            _counter_time(r, "prepare_us"),
            _counter_time(r, "draw_us"),
            format_time(r.per_cv),
            "%.2f" % ratio if ratio is not None else "n/a",
        ))
    others = [r for r in rows if not r.n and r.error is None]
    if others:
        lines += ["", "| benchmark | time / iteration |", "|---|---:|"]
        lines += ["| %s | %s |" % (r.name, format_time(r.seconds)) for r in others]
    return "\n".join(lines)


# ---------------------------------------------------------------- targets

def _find(rows, name):
    for r in rows:
        if r.name == name and r.error is None and r.seconds is not None:
            return r
    return None


def check_targets(rows):
    """(description, measured text, passed or None when not measured) for the
    performance targets of the overlay."""
    floors = floors_by_n(rows)
    results = []

    def add(description, measured, passed):
        results.append((description, measured, passed))

    groom = _find(rows, "groom/curves:10000")
    add("groom steady frame <= 2 ms", format_time(groom.seconds) if groom else "n/a",
        groom.seconds <= 2e-3 if groom else None)
    ratio = floor_ratio(groom, floors) if groom else None
    add("groom <= 3x floor (N = 10^5)", "%.2fx" % ratio if ratio is not None else "n/a",
        ratio <= 3.0 if ratio is not None else None)

    rig = _find(rows, "rig/curves:300/cvs:20")
    add("rig steady frame <= 0.1 ms", format_time(rig.seconds) if rig else "n/a",
        rig.seconds <= 1e-4 if rig else None)

    def per_cv_ratio(description, big_name, small_name):
        big, small = _find(rows, big_name), _find(rows, small_name)
        if big and small and small.per_cv:
            r = big.per_cv / small.per_cv
            add(description, "%.2fx (%s vs %s)" % (r, format_time(big.per_cv), format_time(small.per_cv)), r <= 1.5)
        else:
            add(description, "n/a", None)

    per_cv_ratio("per CV at 10^6 <= 1.5x per CV at 10^4", "scaling/curves:100000", "scaling/curves:1000")
    per_cv_ratio("dense: per CV at 20,000 <= 1.5x per CV at 200", "dense/cvs:20000", "dense/cvs:200")

    steady, cold = _find(rows, "curve_steady/div:5"), _find(rows, "curve_cold/div:5")
    if steady and cold:
        r = cold.seconds / steady.seconds
        add("curve on: steady >= 5x cheaper than cold (div 5)", "%.1fx" % r, r >= 5.0)
    else:
        add("curve on: steady >= 5x cheaper than cold (div 5)", "n/a", None)

    on, off = _find(rows, "occlusion/tris:100000"), _find(rows, "occlusion_off/tris:100000")
    rays = on.counters.get("rays") if on else None
    if on and off and rays:
        per_ray = (on.seconds - off.seconds) / rays
        add("occlusion: <= 1 µs per CV ray test (100,000 triangles)", format_time(max(per_ray, 0.0)), per_ray <= 1e-6)
    else:
        add("occlusion: <= 1 µs per CV ray test (100,000 triangles)", "n/a", None)

    grid, brute = _find(rows, "BM_GridAnyHit/100000"), _find(rows, "BM_BruteForceAnyHit/100000")
    if grid and brute:
        r = brute.seconds / grid.seconds
        add("ray test with the grid >= 100x faster than brute force", "%.0fx" % r, r >= 100.0)
    else:
        add("ray test with the grid >= 100x faster than brute force", "n/a", None)
    return results


def format_targets(results):
    lines = ["| target | measured | |", "|---|---:|---|"]
    for description, measured, passed in results:
        verdict = "met" if passed else ("MISSED" if passed is not None else "not measured")
        lines.append("| %s | %s | %s |" % (description, measured, verdict))
    return "\n".join(lines)


# ---------------------------------------------------------------- main

def default_bench_path():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    return os.path.join(root, "build", "bench", "knotlens_bench")


def run_benchmarks(bench, extra_args):
    """Runs the benchmark binary; its console report goes to stderr, the JSON
    to a temporary file (the plug-in may print to stdout)."""
    fd, path = tempfile.mkstemp(suffix=".json")
    os.close(fd)
    try:
        cmd = [bench, "--benchmark_out=" + path, "--benchmark_out_format=json"] + list(extra_args)
        subprocess.run(cmd, check=True, stdout=sys.stderr)
        with open(path, encoding="utf-8") as f:
            return json.load(f)
    finally:
        os.unlink(path)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    source = parser.add_mutually_exclusive_group()
    source.add_argument("--bench", help="benchmark binary to run (default: build/bench/knotlens_bench)")
    source.add_argument("--json", help="read a saved JSON report instead of running")
    parser.add_argument("--targets", action="store_true", help="also check the performance targets")
    parser.add_argument("--save", help="write the JSON report of the run to this file")
    parser.add_argument("extra", nargs="*", help="arguments passed to the benchmark binary (after --)")
    args = parser.parse_args(argv)

    if args.json:
        with open(args.json, encoding="utf-8") as f:
            data = json.load(f)
    else:
        bench = args.bench or default_bench_path()
        if not os.path.exists(bench):
            parser.error("no benchmark binary at %s; build the knotlens_bench target first" % bench)
        data = run_benchmarks(bench, args.extra)
    if args.save:
        with open(args.save, "w", encoding="utf-8") as f:
            json.dump(data, f, indent=1)

    rows = rows_from_json(data)
    context = data.get("context", {})
    if context:
        print("Run: %s, %s CPUs at %s MHz" % (
            context.get("date", "?"), context.get("num_cpus", "?"), context.get("mhz_per_cpu", "?")))
        print()
    print(format_table(rows))
    if args.targets:
        print()
        print(format_targets(check_targets(rows)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
