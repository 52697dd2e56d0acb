#!/usr/bin/env python3
"""Times tabulon-cli on puzzle files as whole processes, for the generated
sets of bench/make_puzzles.py (which have no peer times beside them).

Each file is solved --runs times (start to exit, pinned to one core unless
--cores says otherwise); the fastest and the median run are reported with the
outcome, and with --passes the number of line-logic passes (from --trace)
and the time per pass. Options after "--" go to tabulon-cli, for example
"-- --complete" or "-- --unique --threads 2". A summary follows the table.

  bench/time_puzzles.py [--runs N] [--passes] [--markdown FILE] FILE... [-- CLI-OPTIONS]
"""

import argparse
import statistics
import subprocess
import sys
from pathlib import Path

from run_puzzles import time_one


def passes_of(cli, path, extra):
    result = subprocess.run([str(cli), "--trace", *extra, str(path)], capture_output=True, text=True)
    return sum(1 for line in result.stdout.splitlines() if line in ("0", "1"))


def peak_memory(cli, path, extra, timeout):
    """The peak resident size of one more run, from GNU time's report."""
    try:
        result = subprocess.run(["/usr/bin/time", "-f", "%M", str(cli), *extra, str(path)], capture_output=True,
                                text=True, timeout=timeout)
        return int(result.stderr.strip().splitlines()[-1])
    except (subprocess.TimeoutExpired, ValueError, IndexError, FileNotFoundError):
        return None


def main():
    argv = sys.argv[1:]
    extra = []
    if "--" in argv:
        extra = argv[argv.index("--") + 1:]
        argv = argv[:argv.index("--")]
    root = Path(__file__).resolve().parent.parent
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("files", nargs="+", type=Path)
    parser.add_argument("--cli", default=root / "build/release/src/cli/tabulon-cli", type=Path)
    parser.add_argument("--runs", default=3, type=int)
    parser.add_argument("--timeout", default=60.0, type=float, help="seconds per run")
    parser.add_argument("--cores", default="1", help="cores to pin to, comma-separated; empty for all")
    parser.add_argument("--passes", action="store_true", help="count line-logic passes (--trace)")
    parser.add_argument("--memory", action="store_true", help="report the peak resident size of a run")
    parser.add_argument("--markdown", type=Path, help="also write the table as Markdown here")
    args = parser.parse_args(argv)
    cores = {int(core) for core in args.cores.split(",")} if args.cores else None

    header = ["puzzle", "outcome", "fastest ms", "median ms"]
    if args.passes:
        header += ["passes", "us per pass"]
    if args.memory:
        header += ["peak MB"]
    rows = []
    print("\t".join(header), flush=True)
    for path in args.files:
        times, outcome = [], ""
        for _ in range(args.runs):
            elapsed, outcome = time_one([str(args.cli), "-q", *extra, str(path)], args.timeout, cores)
            if elapsed is None:
                break
            times.append(elapsed * 1000)
        row = [path.name, outcome, f"{min(times):.1f}" if times else "-",
               f"{statistics.median(times):.1f}" if times else f">{args.timeout * 1000:.0f}"]
        if args.passes:
            passes = passes_of(args.cli, path, extra) if times else 0
            row += [str(passes), f"{min(times) * 1000 / passes:.1f}" if passes and times else "-"]
        if args.memory:
            peak = peak_memory(args.cli, path, extra, args.timeout) if times else None
            row += [f"{peak / 1024:.1f}" if peak else "-"]
        rows.append((row, times))
        print("\t".join(row), flush=True)

    finished = [min(times) for _, times in rows if times]
    if finished:
        print(f"files {len(rows)}, finished {len(finished)}, median {statistics.median(finished):.1f} ms, "
              f"slowest {max(finished):.1f} ms, sum {sum(finished):.1f} ms")
    if args.markdown:
        with open(args.markdown, "w", encoding="utf-8") as out:
            out.write("| " + " | ".join(header) + " |\n")
            out.write("|" + "---|" * len(header) + "\n")
            for row, _ in rows:
                out.write("| " + " | ".join(row) + " |\n")


if __name__ == "__main__":
    main()
