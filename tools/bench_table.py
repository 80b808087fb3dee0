#!/usr/bin/env python3
"""Runs the frame benchmarks (or reads their JSON output) and prints the table
of per-frame costs: scene, N (CV points drawn per frame), time per frame, time
per CV, the ratio to the floor benchmark of the same N, the host's share (the
host-only replay of the same scene) and the plug-in's share (the frame minus
its replay), and the allocations per steady frame.

    tools/bench_table.py                          # runs build/bench/knotlens_bench
    tools/bench_table.py --rounds 3 --targets     # three interleaved rounds, medians
    tools/bench_table.py --bench PATH -- --benchmark_filter=groom
    tools/bench_table.py --json results.json      # a saved run
    tools/bench_table.py --targets                # also check the performance targets

Each benchmark family (the name up to its first '/') runs in a process of its
own, so that no figure depends on a larger scene built before it in the same
process; with --rounds R the families run R times, round after round, and
every figure is the median of its rounds. Times are CPU times (the benchmarks
are single-threaded). A saved report made with --benchmark_repetitions is
reduced to medians too.

The share benchmarks (share/rig, share/groom, share/scaling) run a frame, its
host-only replay and the floor of the same N in turn, iteration by iteration,
and report the ratios of each iteration's three figures (medians). Their
table comes after the frame table; where they ran, the share and scaling
targets are checked on them, since the machine's speed drifts between
benchmarks that run one after the other, and the figures from separate
processes are printed beside them.
"""

import argparse
import json
import os
import re
import statistics
import subprocess
import sys
import tempfile

FLOOR_PREFIX = "floor/"
SHARE_PREFIX = "share/"
REPLAY_LABEL = "replays "
REFERENCE_PREFIXES = ("floor_comparison_sort/", "hull_writes/")
ROUND_KEY = "knotlens_round"

_UNIT_SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


class Row:
    """One benchmark of the run, reduced to what the table shows."""

    def __init__(self, name, seconds=None, n=None, counters=None, error=None, label="", rounds=None):
        self.name = name
        self.seconds = seconds  # per frame (per iteration)
        self.n = n  # CV points drawn per frame
        self.counters = counters or {}
        self.error = error
        self.label = label
        self.rounds = rounds or {}  # round number: seconds, when the run had rounds

    @property
    def replays(self):
        """The frame benchmark this host-only replay stands for, else None."""
        return self.label[len(REPLAY_LABEL):] if self.label.startswith(REPLAY_LABEL) else None

    @property
    def base_name(self):
        """The name without the suffixes the benchmark library adds for
        per-benchmark settings (/min_time:2.000, /iterations:10)."""
        return re.sub(r"(/(min_time|iterations|repeats):[^/]*)+$", "", self.name)

    @property
    def is_share(self):
        return self.name.startswith(SHARE_PREFIX)

    @property
    def is_floor(self):
        return self.name.startswith(FLOOR_PREFIX)

    @property
    def is_reference(self):
        """Kernels measured for comparison (the older floor, the hull's writes, host-only replays)."""
        return self.name.startswith(REFERENCE_PREFIXES) or self.replays is not None

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
    "real_time", "cpu_time", "time_unit", "error_occurred", "error_message", "label", ROUND_KEY,
}


def _counters(entry):
    return {k: v for k, v in entry.items() if k not in _ENTRY_KEYS and isinstance(v, (int, float))}


def _median_counters(entries):
    """Each counter's median over the entries that report it."""
    keys = []
    for e in entries:
        keys += [k for k in _counters(e) if k not in keys]
    return {k: statistics.median(_counters(e)[k] for e in entries if k in _counters(e)) for k in keys}


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
            counters = _median_counters(entries)
        entries = iterations.get(run_name, [])
        rounds = {e[ROUND_KEY]: _entry_seconds(e) for e in entries if ROUND_KEY in e}
        label = next((e.get("label", "") for e in entries if e.get("label")), "")
        n = counters.get("cvs")
        rows.append(Row(run_name, seconds, int(round(n)) if n else None, counters, label=label, rounds=rounds))
    return rows


def replays_by_scene(rows):
    """Host-only replays by the name of the frame benchmark they replay."""
    return {r.replays: r for r in rows if r.replays and r.error is None and r.seconds is not None}


def plugin_share(row, replays):
    """The plug-in's share of a frame: the frame minus the host-only replay of
    the same scene, per round when both ran in rounds (the median of the
    differences), else the difference of the two figures. None without a
    replay."""
    replay = replays.get(row.name)
    if replay is None or row.seconds is None:
        return None
    common = sorted(set(row.rounds) & set(replay.rounds))
    if common:
        return statistics.median(row.rounds[k] - replay.rounds[k] for k in common)
    return row.seconds - replay.seconds


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


def _ratio(value):
    return "%.2f" % value if value is not None else ""


def _count(row, counter):
    value = row.counters.get(counter)
    return "{:,}".format(int(round(value))) if value is not None else ""


def format_table(rows):
    """The frame table (benchmarks that draw N CVs, floors last), followed by
    a table of the other benchmarks of the run (host kernels). The prepare
    and draw columns split a frame into its preparation (prepareForDraw) and
    its drawing (addUIDrawables), each clocked on its own. The host and
    plug-in columns split a frame that has a host-only replay into the
    replay and the rest; "plug-in x floor" is the plug-in's share over the
    floor of the same N. allocs counts every allocation of a timed frame;
    the plug-in and host columns charge one more frame's by call stack."""
    floors = floors_by_n(rows)
    replays = replays_by_scene(rows)
    lines = [
        "| scene | N | time / frame | prepare | draw | per CV | x floor | host | plug-in | plug-in x floor "
        "| allocs | plug-in allocs | host allocs |",
        "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|",
    ]
    framed = [r for r in rows if (r.n or r.error is not None) and not r.is_share]
    references = [r for r in framed if r.is_reference]
    scenes = ([r for r in framed if not r.is_floor and not r.is_reference] +
              sorted((r for r in framed if r.is_floor), key=lambda r: r.n or 0) + references)
    for r in scenes:
        if r.error is not None:
            lines.append("| %s | | skipped: %s | | | | | | | | | | |" % (r.name, r.error))
            continue
        ratio = floor_ratio(r, floors)
        replay = replays.get(r.name)
        share = plugin_share(r, replays)
        floor = floors.get(r.n)
        share_ratio = share / floor.seconds if share is not None and floor and floor.seconds else None
        lines.append("| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |" % (
            r.name,
            "{:,}".format(r.n),
            format_time(r.seconds),
            _counter_time(r, "prepare_us"),
            _counter_time(r, "draw_us"),
            format_time(r.per_cv),
            "%.2f" % ratio if ratio is not None else "n/a",
            format_time(replay.seconds) if replay else "",
            format_time(share) if share is not None else "",
            "%.2f" % share_ratio if share_ratio is not None else "",
            _count(r, "allocs"),
            _count(r, "allocs_plugin"),
            _count(r, "allocs_host"),
        ))
    shares = [r for r in rows if r.is_share]
    if shares:
        lines += ["", "| interleaved | N | frame | host | floor | plug-in | plug-in x floor | frame x floor "
                  "| host x floor |", "|---|---:|---:|---:|---:|---:|---:|---:|---:|"]
        for r in shares:
            if r.error is not None:
                lines.append("| %s | | skipped: %s | | | | | | |" % (r.base_name, r.error))
                continue
            c = r.counters
            lines.append("| %s | %s | %s | %s | %s | %s | %s | %s | %s |" % (
                r.base_name, "{:,}".format(r.n) if r.n else "",
                _counter_time(r, "frame_us"), _counter_time(r, "host_us"), _counter_time(r, "floor_us"),
                _counter_time(r, "plugin_us"), _ratio(c.get("plugin_x_floor")), _ratio(c.get("frame_x_floor")),
                _ratio(c.get("host_x_floor"))))
    others = [r for r in rows if not r.n and r.error is None and not r.is_share]
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


def _find_share(rows, name):
    for r in rows:
        if r.is_share and r.base_name == name and r.error is None:
            return r
    return None


def check_targets(rows):
    """(description, measured text, passed or None when not measured) for the
    performance targets of the overlay, each a ratio within one run."""
    floors = floors_by_n(rows)
    replays = replays_by_scene(rows)
    results = []

    def add(description, measured, passed):
        results.append((description, measured, passed))

    def interleaved(share_name, counter):
        row = _find_share(rows, share_name)
        return row.counters.get(counter) if row else None

    def separate_share(name):
        """The plug-in's share over the floor from the separate benchmarks."""
        row = _find(rows, name)
        share = plugin_share(row, replays) if row else None
        floor = floors.get(row.n) if row else None
        if share is None or floor is None or not floor.seconds:
            return None, None
        return share / floor.seconds, share

    def judged(description, ratio_interleaved, ratio_separate, detail, limit):
        """Interleaved when measured, else from the separate benchmarks."""
        if ratio_interleaved is not None:
            text = "%.2fx interleaved" % ratio_interleaved
            if ratio_separate is not None:
                text += "; separate %.2fx%s" % (ratio_separate, detail)
            add(description, text, ratio_interleaved <= limit)
        elif ratio_separate is not None:
            add(description, "%.2fx%s" % (ratio_separate, detail), ratio_separate <= limit)
        else:
            add(description, "n/a", None)

    for description, share_name, name in (
            ("groom: plug-in share <= 1.5x floor (N = 10^5)", "share/groom", "groom/curves:10000"),
            ("rig: plug-in share <= 1.5x floor (N = 6,000)", "share/rig", "rig/curves:300/cvs:20")):
        separate, share = separate_share(name)
        judged(description, interleaved(share_name, "plugin_x_floor"), separate,
               " (%s)" % format_time(share) if share is not None else "", 1.5)

    scaling = _find(rows, "scaling/curves:100000")
    judged("scaling/curves:100000 <= 2.5x floor (N = 10^6)", interleaved("share/scaling", "frame_x_floor"),
           floor_ratio(scaling, floors) if scaling else None, "", 2.5)

    for divisions, limit in ((5, 4.0), (64, 8.0)):
        description = "curve on: steady >= %gx cheaper than cold (div %d)" % (limit, divisions)
        steady = _find(rows, "curve_steady/div:%d" % divisions)
        cold = _find(rows, "curve_cold/div:%d" % divisions)
        if steady and cold:
            r = cold.seconds / steady.seconds
            add(description, "%.1fx" % r, r >= limit)
        else:
            add(description, "n/a", None)

    hull, off, writes = (_find(rows, "hull/curves:1000"), _find(rows, "scaling/curves:1000"),
                         _find(rows, "hull_writes/curves:1000"))
    description = "hull on <= 1.5x (hull off + the hull's output writes)"
    if hull and off and writes:
        r = hull.seconds / (off.seconds + writes.seconds)
        add(description, "%.2fx" % r, r <= 1.5)
    else:
        add(description, "n/a", None)

    counted = [r for r in rows if r.error is None and "allocs_plugin" in r.counters]
    description = "no plug-in allocation in a steady frame (every scene)"
    if counted:
        allocating = [r for r in counted if r.counters["allocs_plugin"] > 0 and not r.name.startswith("curve_cold")]
        measured = ", ".join("%s %s" % (r.name, _count(r, "allocs_plugin")) for r in allocating) or "0"
        add(description, measured, not allocating)
    else:
        add(description, "n/a", None)

    def per_cv_ratio(description, big_name, small_name):
        big, small = _find(rows, big_name), _find(rows, small_name)
        if big and small and small.per_cv:
            r = big.per_cv / small.per_cv
            add(description, "%.2fx (%s vs %s)" % (r, format_time(big.per_cv), format_time(small.per_cv)), r <= 1.5)
        else:
            add(description, "n/a", None)

    per_cv_ratio("dense: per CV at 20,000 <= 1.5x per CV at 200", "dense/cvs:20000", "dense/cvs:200")

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


def family_of(name):
    return name.split("/", 1)[0]


def families_in_order(names):
    """Benchmark names grouped by family, families in the order they first appear."""
    families = {}
    for name in names:
        families.setdefault(family_of(name), []).append(name)
    return families


def exact_filter(names):
    return "^(%s)$" % "|".join(re.sub(r"([.^$*+?()\[\]{}|\\])", r"\\\1", n) for n in names)


def _run_json(cmd):
    """Runs one benchmark process; its console report goes to stderr, the JSON
    to a temporary file (the plug-in may print to stdout)."""
    fd, path = tempfile.mkstemp(suffix=".json")
    os.close(fd)
    try:
        subprocess.run(cmd + ["--benchmark_out=" + path, "--benchmark_out_format=json"], check=True,
                       stdout=sys.stderr)
        with open(path, encoding="utf-8") as f:
            return json.load(f)
    finally:
        os.unlink(path)


def run_benchmarks(bench, extra_args, rounds=1):
    """Runs every benchmark family in a process of its own, `rounds` times
    over, round after round; returns one report holding every run, each
    entry tagged with its round."""
    listed = subprocess.run([bench, "--benchmark_list_tests=true"] + list(extra_args), check=True,
                            stdout=subprocess.PIPE, universal_newlines=True).stdout.split()
    passed = [a for a in extra_args if not a.startswith("--benchmark_filter")]
    merged = {"context": {}, "benchmarks": []}
    for round_number in range(rounds):
        for names in families_in_order(listed).values():
            data = _run_json([bench, "--benchmark_filter=" + exact_filter(names)] + passed)
            merged["context"] = data.get("context", merged["context"])
            for e in data.get("benchmarks", []):
                e[ROUND_KEY] = round_number
                merged["benchmarks"].append(e)
    return merged


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    source = parser.add_mutually_exclusive_group()
    source.add_argument("--bench", help="benchmark binary to run (default: build/bench/knotlens_bench)")
    source.add_argument("--json", help="read a saved JSON report instead of running")
    parser.add_argument("--targets", action="store_true", help="also check the performance targets")
    parser.add_argument("--save", help="write the JSON report of the run to this file")
    parser.add_argument("--rounds", type=int, default=1,
                        help="run every family this many times, interleaved (figures are medians)")
    parser.add_argument("extra", nargs="*", help="arguments passed to the benchmark binary (after --)")
    args = parser.parse_args(argv)

    if args.json:
        with open(args.json, encoding="utf-8") as f:
            data = json.load(f)
    else:
        bench = args.bench or default_bench_path()
        if not os.path.exists(bench):
            parser.error("no benchmark binary at %s; build the knotlens_bench target first" % bench)
        data = run_benchmarks(bench, args.extra, max(1, args.rounds))
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
