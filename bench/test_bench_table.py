"""Checks of tools/bench_table.py on hand-made benchmark reports."""

import io
import json
import os
import sys
import tempfile
import unittest
from contextlib import redirect_stdout

sys.path.insert(0, os.environ.get("KNOTLENS_TOOLS_DIR",
                                  os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools")))
import bench_table  # noqa: E402


def entry(name, cpu, unit="us", cvs=None, **extra):
    e = {"name": name, "run_name": name, "run_type": "iteration", "iterations": 10,
         "real_time": cpu * 1.01, "cpu_time": cpu, "time_unit": unit}
    if cvs is not None:
        e["cvs"] = float(cvs)
        e["per_cv"] = 0.0
    e.update(extra)
    return e


def aggregate(name, which, cpu, unit="us", cvs=None):
    e = entry(name, cpu, unit, cvs)
    e.update({"name": name + "_" + which, "run_type": "aggregate", "aggregate_name": which})
    return e


class RowsAndRatios(unittest.TestCase):
    def test_ratio_uses_the_floor_of_the_same_n_in_seconds(self):
        data = {"benchmarks": [
            entry("floor/n:10000", 100.0, "us", 10000),
            entry("floor/n:100000", 1.5, "ms", 100000),
            entry("groom/curves:10000", 3000.0, "us", 100000),
            entry("scaling/curves:1000", 250.0, "us", 10000),
        ]}
        rows = {r.name: r for r in bench_table.rows_from_json(data)}
        floors = bench_table.floors_by_n(rows.values())
        self.assertAlmostEqual(rows["groom/curves:10000"].seconds, 3e-3)
        self.assertAlmostEqual(bench_table.floor_ratio(rows["groom/curves:10000"], floors), 2.0)
        self.assertAlmostEqual(bench_table.floor_ratio(rows["scaling/curves:1000"], floors), 2.5)
        self.assertAlmostEqual(rows["scaling/curves:1000"].per_cv, 25e-9)

    def test_missing_floor_gives_no_ratio(self):
        data = {"benchmarks": [entry("floor/n:10000", 100.0, cvs=10000), entry("dense/cvs:200", 5.0, cvs=200)]}
        rows = bench_table.rows_from_json(data)
        dense = [r for r in rows if r.name == "dense/cvs:200"][0]
        self.assertIsNone(bench_table.floor_ratio(dense, bench_table.floors_by_n(rows)))
        self.assertIn("| dense/cvs:200 | 200 | 5.00 µs |  |  | 25.00 ns | n/a |", bench_table.format_table(rows))
        self.assertIsNone(bench_table.plugin_share(dense, bench_table.replays_by_scene(rows)))

    def test_preparation_and_drawing_columns_come_from_their_counters(self):
        data = {"benchmarks": [entry("floor/n:6000", 50.0, cvs=6000),
                               entry("rig", 300.0, cvs=6000, prepare_us=270.0, draw_us=28.5)]}
        table = bench_table.format_table(bench_table.rows_from_json(data))
        self.assertIn("| rig | 6,000 | 300.00 µs | 270.00 µs | 28.50 µs | 50.00 ns | 6.00 |", table)
        self.assertIn("| floor/n:6000 | 6,000 | 50.00 µs |  |  | 8.33 ns | 1.00 |", table)

    def test_plugin_share_is_the_frame_minus_its_replay_round_by_round(self):
        frame = [entry("groom/curves:10000", t, "ms", 100000, knotlens_round=k, allocs=3.0, allocs_plugin=0.0,
                       allocs_host=10001.0) for k, t in enumerate([5.0, 9.0, 6.0])]
        replay = [entry("host_only/groom", t, "ms", 100000, knotlens_round=k, label="replays groom/curves:10000")
                  for k, t in enumerate([2.0, 8.0, 2.5])]
        floor = [entry("floor/n:100000", 1.0, "ms", 100000, knotlens_round=k) for k in range(3)]
        rows = bench_table.rows_from_json({"benchmarks": frame + replay + floor})
        by_name = {r.name: r for r in rows}
        self.assertAlmostEqual(by_name["groom/curves:10000"].seconds, 6e-3)  # median of the rounds
        self.assertEqual(by_name["host_only/groom"].replays, "groom/curves:10000")
        replays = bench_table.replays_by_scene(rows)
        # Differences per round 3.0, 1.0, 3.5 ms: median 3.0 (the difference of the medians would be 3.5).
        self.assertAlmostEqual(bench_table.plugin_share(by_name["groom/curves:10000"], replays), 3e-3)
        table = bench_table.format_table(rows)
        self.assertIn("| groom/curves:10000 | 100,000 | 6.000 ms |  |  | 60.00 ns | 6.00 | 2.500 ms | 3.000 ms "
                      "| 3.00 | 3 | 0 | 10,001 |", table)
        results = {d: (m, p) for d, m, p in bench_table.check_targets(rows)}
        self.assertEqual(results["groom: plug-in share <= 1.5x floor (N = 10^5)"], ("3.00x (3.000 ms)", False))

    def test_a_replay_without_rounds_subtracts_the_medians(self):
        rows = bench_table.rows_from_json({"benchmarks": [
            entry("rig/curves:300/cvs:20", 200.0, cvs=6000),
            entry("host_only/rig", 150.0, cvs=6000, label="replays rig/curves:300/cvs:20"),
            entry("floor/n:6000", 40.0, cvs=6000)]})
        results = {d: (m, p) for d, m, p in bench_table.check_targets(rows)}
        self.assertEqual(results["rig: plug-in share <= 1.5x floor (N = 6,000)"], ("1.25x (50.00 µs)", True))

    def test_median_aggregate_wins_over_mean_and_repetitions(self):
        data = {"benchmarks": [
            entry("rig", 1.0, cvs=6000),
            entry("rig", 9.0, cvs=6000),
            aggregate("rig", "mean", 5.0, cvs=6000),
            aggregate("rig", "median", 2.0, cvs=6000),
            aggregate("rig", "stddev", 0.5, cvs=6000),
        ]}
        rows = bench_table.rows_from_json(data)
        self.assertEqual(len(rows), 1)
        self.assertAlmostEqual(rows[0].seconds, 2e-6)

    def test_repetitions_without_aggregates_reduce_to_their_median(self):
        data = {"benchmarks": [entry("rig", 1.0, cvs=6000), entry("rig", 7.0, cvs=6000), entry("rig", 3.0, cvs=6000)]}
        self.assertAlmostEqual(bench_table.rows_from_json(data)[0].seconds, 3e-6)

    def test_skipped_benchmark_is_listed_with_its_reason(self):
        data = {"benchmarks": [{"name": "soft/curves:1000", "run_name": "soft/curves:1000", "run_type": "iteration",
                                "error_occurred": True, "error_message": "view 0 drew 0 CV points"}]}
        table = bench_table.format_table(bench_table.rows_from_json(data))
        self.assertIn("soft/curves:1000 | | skipped: view 0 drew 0 CV points", table)

    def test_floors_are_listed_after_the_scenes_in_order_of_n(self):
        data = {"benchmarks": [entry("floor/n:100000", 1.0, "ms", 100000), entry("floor/n:200", 1.0, cvs=200),
                               entry("rig", 10.0, cvs=6000)]}
        lines = bench_table.format_table(bench_table.rows_from_json(data)).splitlines()[2:]
        self.assertEqual([line.split("|")[1].strip() for line in lines], ["rig", "floor/n:200", "floor/n:100000"])
        self.assertIn("| 1.00 |", lines[1])

    def test_reference_kernels_and_replays_come_after_the_floors(self):
        data = {"benchmarks": [entry("floor_comparison_sort/n:200", 1.0, cvs=200),
                               entry("host_only/rig", 5.0, cvs=6000, label="replays rig"),
                               entry("floor/n:200", 2.0, cvs=200), entry("rig", 10.0, cvs=6000)]}
        lines = bench_table.format_table(bench_table.rows_from_json(data)).splitlines()[2:]
        self.assertEqual([line.split("|")[1].strip() for line in lines],
                         ["rig", "floor/n:200", "floor_comparison_sort/n:200", "host_only/rig"])
        self.assertIn("| 0.50 |", lines[2])  # the older floor against the floor of its N

    def test_share_benchmarks_get_a_table_of_their_own(self):
        data = {"benchmarks": [
            entry("floor/n:6000", 50.0, cvs=6000),
            entry("share/rig/min_time:2.000", 900.0, cvs=6000, frame_us=400.0, host_us=300.0, floor_us=50.0,
                  plugin_us=100.0, plugin_x_floor=2.0, frame_x_floor=8.0, host_x_floor=6.0),
        ]}
        table = bench_table.format_table(bench_table.rows_from_json(data))
        self.assertIn("| share/rig | 6,000 | 400.00 µs | 300.00 µs | 50.00 µs | 100.00 µs | 2.00 | 8.00 | 6.00 |",
                      table)
        self.assertEqual(table.count("share/rig"), 1)

    def test_benchmarks_without_cvs_go_to_a_second_table(self):
        data = {"benchmarks": [entry("BM_GridAnyHit/1000", 80.0, "ns"), entry("rig", 10.0, cvs=6000)]}
        table = bench_table.format_table(bench_table.rows_from_json(data))
        main, other = table.split("\n\n")
        self.assertNotIn("BM_GridAnyHit", main)
        self.assertIn("| BM_GridAnyHit/1000 | 80.00 ns |", other)

    def test_unknown_time_unit_is_refused(self):
        with self.assertRaises(ValueError):
            bench_table.rows_from_json({"benchmarks": [entry("x", 1.0, "fortnights", 1)]})


class TimeFormat(unittest.TestCase):
    def test_each_magnitude_gets_its_unit(self):
        self.assertEqual(bench_table.format_time(2.5), "2.50 s")
        self.assertEqual(bench_table.format_time(0.0015), "1.500 ms")
        self.assertEqual(bench_table.format_time(2.5e-5), "25.00 µs")
        self.assertEqual(bench_table.format_time(3.25e-8), "32.50 ns")
        self.assertEqual(bench_table.format_time(None), "n/a")


class Targets(unittest.TestCase):
    def run_targets(self, benchmarks):
        return {d: (m, p) for d, m, p in bench_table.check_targets(bench_table.rows_from_json({"benchmarks": benchmarks}))}

    def test_targets_met_and_missed(self):
        results = self.run_targets([
            entry("floor/n:1000000", 10.0, "ms", 1000000),
            entry("scaling/curves:100000", 26.0, "ms", 1000000, allocs_plugin=0.0),  # 2.6x: missed
            entry("scaling/curves:1000", 100.0, "us", 10000, allocs_plugin=0.0),
            entry("hull_writes/curves:1000", 20.0, "us", 10000),
            entry("hull/curves:1000", 170.0, "us", 10000, allocs_plugin=2.0),        # 1.42x, but allocates
            entry("dense/cvs:200", 2.0, "us", 200),                 # 10 ns per CV
            entry("dense/cvs:20000", 2.0, "ms", 20000),             # 100 ns per CV: 10x
            entry("curve_steady/div:5", 100.0, "us", 10000),
            entry("curve_cold/div:5", 600.0, "us", 10000, allocs_plugin=50.0),        # cold: not steady
            entry("curve_steady/div:64", 100.0, "us", 10000),
            entry("curve_cold/div:64", 700.0, "us", 10000),         # 7x: missed
            entry("occlusion_off/tris:100000", 100.0, "us", 10000),
            entry("occlusion/tris:100000", 5.1, "ms", 10000, rays=10000.0),  # 0.5 µs per ray
            entry("BM_GridAnyHit/100000", 200.0, "ns"),
            entry("BM_BruteForceAnyHit/100000", 15.0, "us"),                 # only 75x
        ])
        self.assertEqual(results["scaling/curves:100000 <= 2.5x floor (N = 10^6)"], ("2.60x", False))
        self.assertEqual(results["hull on <= 1.5x (hull off + the hull's output writes)"], ("1.42x", True))
        self.assertEqual(results["no plug-in allocation in a steady frame (every scene)"],
                         ("hull/curves:1000 2", False))
        self.assertEqual(results["dense: per CV at 20,000 <= 1.5x per CV at 200"][1], False)
        self.assertEqual(results["curve on: steady >= 4x cheaper than cold (div 5)"], ("6.0x", True))
        self.assertEqual(results["curve on: steady >= 8x cheaper than cold (div 64)"], ("7.0x", False))
        self.assertEqual(results["occlusion: <= 1 µs per CV ray test (100,000 triangles)"], ("500.00 ns", True))
        self.assertEqual(results["ray test with the grid >= 100x faster than brute force"], ("75x", False))
        self.assertEqual(results["groom: plug-in share <= 1.5x floor (N = 10^5)"], ("n/a", None))

    def test_interleaved_shares_decide_the_share_and_scaling_targets(self):
        results = self.run_targets([
            entry("floor/n:100000", 1.0, "ms", 100000),
            entry("groom/curves:10000", 3.0, "ms", 100000),
            entry("host_only/groom", 1.0, "ms", 100000, label="replays groom/curves:10000"),  # separate: 2.00x
            entry("share/groom/min_time:2.000", 9.0, "ms", 100000, plugin_x_floor=1.4),
            entry("floor/n:1000000", 10.0, "ms", 1000000),
            entry("scaling/curves:100000", 24.0, "ms", 1000000),  # separate: 2.40x
            entry("share/scaling/min_time:6.000", 9.0, "ms", 1000000, frame_x_floor=2.6),
        ])
        self.assertEqual(results["groom: plug-in share <= 1.5x floor (N = 10^5)"],
                         ("1.40x interleaved; separate 2.00x (2.000 ms)", True))
        self.assertEqual(results["scaling/curves:100000 <= 2.5x floor (N = 10^6)"],
                         ("2.60x interleaved; separate 2.40x", False))
        self.assertEqual(results["rig: plug-in share <= 1.5x floor (N = 6,000)"], ("n/a", None))

    def test_targets_without_their_benchmarks_are_not_measured(self):
        results = self.run_targets([entry("floor/n:200", 1.0, cvs=200)])
        self.assertTrue(all(passed is None for _, passed in results.values()))
        self.assertIn("not measured", bench_table.format_targets(bench_table.check_targets([])))


class CommandLine(unittest.TestCase):
    def test_json_file_is_printed_as_a_table_with_targets(self):
        report = {"context": {"date": "today", "num_cpus": 2, "mhz_per_cpu": 2000},
                  "benchmarks": [entry("floor/n:10000", 50.0, cvs=10000), entry("scaling/curves:1000", 100.0, cvs=10000)]}
        with tempfile.NamedTemporaryFile("w", suffix=".json", delete=False) as f:
            json.dump(report, f)
        try:
            out = io.StringIO()
            with redirect_stdout(out):
                self.assertEqual(bench_table.main(["--json", f.name, "--targets"]), 0)
        finally:
            os.unlink(f.name)
        text = out.getvalue()
        self.assertIn("2 CPUs", text)
        self.assertIn("| scaling/curves:1000 | 10,000 | 100.00 µs |  |  | 10.00 ns | 2.00 |", text)
        self.assertIn("| target | measured | |", text)


FAKE_BENCH = r"""#!/usr/bin/env python3
import json, os, re, sys
names = ["floor/n:200", "floor/n:6000", "rig/curves:300/cvs:20", "scaling/curves:1000", "scaling/curves:100000"]
args = sys.argv[1:]
pattern = next((a.split("=", 1)[1] for a in args if a.startswith("--benchmark_filter=")), ".")
chosen = [n for n in names if re.search(pattern, n)]
if "--benchmark_list_tests=true" in args:
    print("\n".join(chosen))
    sys.exit(0)
with open(os.environ["FAKE_BENCH_LOG"], "a") as log:
    log.write(" ".join(chosen) + "\n")
out = next(a.split("=", 1)[1] for a in args if a.startswith("--benchmark_out="))
with open(out, "w") as f:
    json.dump({"context": {"date": "now"}, "benchmarks": [
        {"name": n, "run_name": n, "run_type": "iteration", "cpu_time": 1.0, "real_time": 1.0,
         "time_unit": "us", "cvs": 10.0} for n in chosen]}, f)
"""


class Running(unittest.TestCase):
    def test_each_family_runs_in_its_own_process_round_after_round(self):
        with tempfile.TemporaryDirectory() as tmp:
            bench = os.path.join(tmp, "bench")
            with open(bench, "w") as f:
                f.write(FAKE_BENCH)
            os.chmod(bench, 0o755)
            log = os.path.join(tmp, "log")
            os.environ["FAKE_BENCH_LOG"] = log
            try:
                with redirect_stdout(io.StringIO()):
                    data = bench_table.run_benchmarks(bench, ["--benchmark_filter=floor|scaling"], rounds=2)
            finally:
                del os.environ["FAKE_BENCH_LOG"]
            with open(log) as f:
                processes = f.read().splitlines()
        self.assertEqual(processes, ["floor/n:200 floor/n:6000", "scaling/curves:1000 scaling/curves:100000"] * 2)
        self.assertEqual([e[bench_table.ROUND_KEY] for e in data["benchmarks"]], [0] * 4 + [1] * 4)
        rows = bench_table.rows_from_json(data)
        self.assertEqual(rows[0].rounds, {0: 1e-6, 1: 1e-6})

    def test_exact_filter_matches_only_the_names_given(self):
        import re
        pattern = re.compile(bench_table.exact_filter(["floor/n:200", "a.b"]))
        self.assertTrue(pattern.search("floor/n:200"))
        self.assertFalse(pattern.search("floor/n:2000"))
        self.assertFalse(pattern.search("axb"))


if __name__ == "__main__":
    unittest.main()
