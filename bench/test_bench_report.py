#!/usr/bin/env python3
"""Checks bench_report.py against benchmark output written by hand.

Run with: python3 -m unittest discover -s bench -p 'test_*.py'
"""

import json
import tempfile
import unittest
from pathlib import Path

import bench_report


def run(name, real_time, unit="ns", run_type="iteration", run_name=None):
    return {"name": name, "run_name": run_name or name, "run_type": run_type, "real_time": real_time,
            "cpu_time": real_time, "time_unit": unit}


class BenchReport(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)

    def write(self, file, *benchmarks):
        Path(self.folder.name, file).write_text(json.dumps({"context": {}, "benchmarks": list(benchmarks)}))

    def verdicts(self):
        return {what: verdict for what, _, _, verdict in bench_report.evaluate(bench_report.load_times(self.folder.name))}

    def test_times_in_different_units_are_compared_in_one_unit(self):
        self.write("a.json", run("BM_VirtualCall", 2.0), run("BM_RuntimeSend", 0.009, unit="us"))
        self.write("b.json", run("BM_DBMessageLookup", 0.021, unit="ms"))
        times = bench_report.load_times(self.folder.name)
        self.assertAlmostEqual(times["BM_RuntimeSend"] / times["BM_VirtualCall"], 4.5)
        verdicts = self.verdicts()
        self.assertEqual(verdicts["message send vs virtual call"], "PASS")
        self.assertEqual(verdicts["message lookup"], "OVER")

    def test_repetitions_count_by_their_median_and_aggregates_are_skipped(self):
        self.write("a.json",
                   run("BM_LoggerRewriteBaseline", 1000.0),
                   run("BM_LoggerAppend", 40.0), run("BM_LoggerAppend", 60.0), run("BM_LoggerAppend", 45.0),
                   run("BM_LoggerAppend_mean", 900.0, run_type="aggregate", run_name="BM_LoggerAppend"),
                   run("BM_LoggerAppend_stddev", 900.0, run_type="aggregate", run_name="BM_LoggerAppend"))
        self.assertEqual(bench_report.load_times(self.folder.name)["BM_LoggerAppend"], 45.0)
        self.assertEqual(self.verdicts()["log entry vs whole-file rewrite"], "PASS")

    def test_a_missing_benchmark_or_unreadable_file_reads_missing_and_never_fails(self):
        self.write("a.json", run("BM_RuntimeSendHooked", 30.0))
        Path(self.folder.name, "broken.json").write_text("{ cut short")
        self.assertEqual(set(self.verdicts().values()), {"MISSING"})
        self.assertEqual(bench_report.main(["bench_report.py", self.folder.name]), 0)


if __name__ == "__main__":
    unittest.main()
