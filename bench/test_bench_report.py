#!/usr/bin/env python3
"""Checks bench_report.py and bench/check against benchmark output written by hand.

Run with: python3 -m unittest discover -s bench -p 'test_*.py'
"""

import importlib.machinery
import importlib.util
import json
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree
from pathlib import Path

import bench_report


def load_check():
    path = str(Path(__file__).with_name("check"))
    loader = importlib.machinery.SourceFileLoader("bench_check", path)
    module_spec = importlib.util.spec_from_loader("bench_check", loader)
    module = importlib.util.module_from_spec(module_spec)
    loader.exec_module(module)
    return module


def run(name, real_time, unit="ns", run_type="iteration", run_name=None, **counters):
    return dict({"name": name, "run_name": run_name or name, "run_type": run_type, "real_time": real_time,
                 "cpu_time": real_time, "time_unit": unit, "iterations": 1000}, **counters)


class BenchReport(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.results = Path(folder.name, "results")
        self.results.mkdir()

    def write(self, program, *benchmarks, context=None):
        Path(self.results, program + ".json").write_text(
            json.dumps({"context": context or {}, "benchmarks": list(benchmarks)}))

    def rows(self):
        times, counters, programs, _ = bench_report.load_results(self.results)
        return {row["key"]: row for row in bench_report.evaluate(times, counters, programs)}

    def test_times_in_different_units_are_compared_in_one_unit(self):
        self.write("runtime_bench", run("BM_VirtualCall", 2.0), run("BM_RuntimeSend", 0.0035, unit="us"))
        self.write("chatkit_bench", run("BM_DBMessageLookup/100000", 0.021, unit="ms"))
        rows = self.rows()
        self.assertAlmostEqual(rows["send"]["value"], 1.75)
        self.assertEqual(rows["send"]["verdict"], "PASS")
        self.assertEqual(rows["lookup"]["verdict"], "OVER")
        self.assertEqual(rows["lookup"]["command"],
                         "build/bench/benchmarks/chatkit_bench --benchmark_filter='^(BM_DBMessageLookup/100000)$'")
        self.assertIn("BM_RuntimeSend|BM_VirtualCall", rows["send"]["command"])

    def test_repetitions_count_by_their_median_and_aggregates_are_skipped(self):
        self.write("kelvane_bench",
                   run("BM_LoggerRewriteBaseline/90000", 1000.0),
                   run("BM_LoggerAppend/90000", 10.0), run("BM_LoggerAppend/90000", 30.0),
                   run("BM_LoggerAppend/90000", 15.0),
                   run("BM_LoggerAppend/90000_mean", 900.0, run_type="aggregate", run_name="BM_LoggerAppend/90000"),
                   run("BM_LoggerAppend/90000_stddev", 900.0, run_type="aggregate", run_name="BM_LoggerAppend/90000"))
        self.assertEqual(bench_report.load_times(self.results)["BM_LoggerAppend/90000"], 15.0)
        rows = self.rows()
        self.assertEqual(rows["log-entry"]["verdict"], "PASS")
        self.assertEqual(rows["log-entry"]["figure"].split()[0], "1/67")
        # Against the bare write the figure is only reported.
        self.assertEqual(rows["log-entry-write"]["verdict"], "MISSING")

    def test_a_missing_benchmark_or_unreadable_file_never_fails_the_report(self):
        self.write("runtime_bench", run("BM_RuntimeSendHooked", 30.0))
        Path(self.results, "broken.json").write_text("{ cut short")
        rows = self.rows()
        self.assertEqual(rows["hooked-send"]["verdict"], "MISSING")
        # make bench runs the browser benchmark itself: a run that failed
        # leaves its row unmeasured, which bench/check counts as a miss.
        self.assertEqual(rows["web-click"]["verdict"], "MISSING")
        self.assertEqual(bench_report.main(["bench_report.py", str(self.results)]), 0)
        self.assertTrue(Path(self.results.parent, "report.md").exists())

    def test_the_web_click_row_reads_the_p95_counter_of_the_browser_benchmark(self):
        self.write("web_click", run("BM_WebClickToRedraw", 19.5, unit="ms", p50_ms=19.5, p95_ms=31.5))
        row = self.rows()["web-click"]
        self.assertEqual(row["verdict"], "OVER")
        self.assertEqual(row["figure"], "31.50 ms")
        self.assertIn("bench-taps.mjs", row["command"])
        self.write("web_click", run("BM_WebClickToRedraw", 9.5, unit="ms", p50_ms=9.5, p95_ms=12.5, instant_p95_ms=26.0))
        row = self.rows()["web-click"]
        self.assertEqual(row["verdict"], "PASS")
        self.assertEqual(row["value"], 12.5e6)
        self.assertTrue(row["figure"].startswith("12.50 ms (26.00 ms with presses of no length"))

    def test_growth_exponents_tell_linear_from_worse(self):
        self.write("compose_bench",
                   run("BM_RecipientFilter/1000", 10.0, unit="us"), run("BM_RecipientFilter/10000", 100.0, unit="us"),
                   run("BM_RecipientFilter/50000", 500.0, unit="us"),
                   run("BM_RecipientListBuild/1000", 1.0, unit="ms"), run("BM_RecipientListBuild/10000", 10.0, unit="ms"),
                   run("BM_RecipientListBuild/50000", 250.0, unit="ms"))
        self.write("chatkit_bench", run("BM_DBMessageLookup/1000", 5.0, unit="us"),
                   run("BM_DBMessageLookup/100000", 6.0, unit="us"))
        times = bench_report.load_times(self.results)
        series = {s["benchmark"]: s for s in bench_report.growth(times)}
        self.assertAlmostEqual(series["BM_RecipientFilter"]["exponents"][0], 1.0)
        self.assertEqual(series["BM_RecipientFilter"]["verdict"], "linear or better")
        self.assertAlmostEqual(series["BM_RecipientListBuild"]["exponents"][1], 2.0)
        self.assertEqual(series["BM_RecipientListBuild"]["verdict"], "worse than linear")
        self.assertEqual(series["BM_DBMessageLookup"]["verdict"], "MISSING")
        # The plot is well-formed SVG with a panel (a measured line) per path that ran.
        svg = ElementTree.fromstring(bench_report.plot(bench_report.growth(times)))
        lines = [e for e in svg.iter("{http://www.w3.org/2000/svg}polyline") if e.get("stroke") == "#1f5fbf"]
        self.assertEqual(len(lines), 3)

    def test_check_fails_on_an_over_or_missing_target_only(self):
        check = load_check()
        passing = {"targets": [{"what": "a", "verdict": "PASS"}, {"what": "b", "verdict": "REPORT"},
                               {"what": "c", "verdict": "ELSEWHERE"}],
                   "memory": [{"what": "idle", "verdict": "PASS"}]}
        report = Path(self.results.parent, "report.json")
        report.write_text(json.dumps(passing))
        self.assertEqual(check.main(["check", str(report)]), 0)
        for failing in ({"targets": [{"what": "a", "verdict": "OVER"}]},
                        {"targets": [{"what": "a", "verdict": "MISSING"}]},
                        {"targets": [], "memory": [{"what": "idle", "verdict": "OVER"}]}):
            report.write_text(json.dumps(failing))
            self.assertEqual(check.main(["check", str(report)]), 1)
        self.assertEqual(check.main(["check", str(Path(self.results.parent, "absent.json"))]), 2)


if __name__ == "__main__":
    unittest.main()
