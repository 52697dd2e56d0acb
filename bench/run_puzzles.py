#!/usr/bin/env python3
"""Times tabulon-cli over the benchmark puzzles and sets the times beside the
peer solvers' times from INDEX.tsv.

By default the line-logic "Solve" is timed against the peers' line mode;
--complete times complete solving against the peers' complete mode.

Each puzzle is solved --runs times as a whole process (start to exit, pinned
to one core); the median is reported. Prints one
row per puzzle and a summary; --markdown FILE also writes the table there.
"""

import argparse
import os
import statistics
import subprocess
import sys
import threading
import time
from pathlib import Path

OUTCOMES = {0: "solved", 1: "refused", 2: "incomplete", 3: "no solution", 4: "error", 5: "stopped",
            6: "multiple"}
PEERS = ["pbnsolve", "jwilk", "picross", "node"]


def read_index(puzzles):
    rows = []
    with open(puzzles / "INDEX.tsv", encoding="utf-8") as index:
        header = None
        for line in index:
            if line.startswith("#"):
                continue
            fields = line.rstrip("\n").split("\t")
            if header is None:
                header = fields
                continue
            rows.append(dict(zip(header, fields)))
    return rows


def fastest_peer(row, mode):
    times = []
    for peer in PEERS:
        try:
            times.append((float(row[f"{peer}_{mode}"]), peer))
        except ValueError:
            pass  # timeout or unfinished
    return min(times) if times else (None, None)


def time_one(command, timeout, cores=None):
    """Seconds the command took and its outcome; None seconds after the timeout.
    Pinned to the given cores, if any."""
    # A blocking wait returns the moment the process ends; waiting with a
    # timeout would poll and add milliseconds. A timer kills overlong runs.
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               preexec_fn=(lambda: os.sched_setaffinity(0, cores)) if cores else None)
    timer = threading.Timer(timeout, process.kill)
    timer.start()
    status = process.wait()
    elapsed = time.perf_counter() - start
    timer.cancel()
    if elapsed >= timeout:
        return None, "timeout"
    return elapsed, OUTCOMES.get(status, f"status {status}")


def summarise_complete(results):
    solved = [r for r in results if r[1] in ("solved", "multiple") and r[2] is not None]
    faster = [r for r in solved if r[3] is None or r[2] < r[3]]
    slower = [r for r in solved if r[3] is not None and r[2] >= r[3]]
    print(f"complete: {len(solved)} of {len(results)} solved, {len(faster)} faster than the fastest peer "
          f"(or no peer finished), {len(slower)} slower: {' '.join(r[0]['file'] for r in slower)}")
    unsolved = [r[0]["file"] for r in results if r not in solved]
    print(f"not solved within the limit: {len(unsolved)} {' '.join(unsolved)}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    root = Path(__file__).resolve().parent.parent
    parser.add_argument("--cli", default=root / "build/release/src/cli/tabulon-cli", type=Path)
    parser.add_argument("--puzzles", default=root.parent / "shared/puzzles", type=Path)
    parser.add_argument("--runs", default=5, type=int)
    parser.add_argument("--timeout", default=20.0, type=float, help="seconds per run")
    parser.add_argument("--filter", default="", help="only files whose name holds this text")
    parser.add_argument("--markdown", type=Path, help="also write the table as Markdown here")
    parser.add_argument("--complete", action="store_true", help="time complete solving (--complete)")
    args = parser.parse_args()

    # Pin this script to one core; the solver processes inherit it, so no
    # extra program (taskset) is started per run.
    if hasattr(os, "sched_setaffinity") and os.cpu_count() and os.cpu_count() > 1:
        os.sched_setaffinity(0, {1})
    results = []
    for row in read_index(args.puzzles):
        if args.filter not in row["file"]:
            continue
        command = [str(args.cli), "-q", "-j", "1", str(args.puzzles / row["file"])]
        if args.complete:
            command.insert(1, "--complete")
        times, outcome = [], None
        for _ in range(args.runs):
            seconds, outcome = time_one(command, args.timeout)
            if seconds is None:
                break
            times.append(seconds)
        median = statistics.median(times) if times and outcome != "timeout" else None
        peer_time, peer = fastest_peer(row, "full" if args.complete else "line")
        ratio = median / peer_time if median is not None and peer_time else None
        results.append((row, outcome, median, peer_time, peer, ratio))
        shown = f"{median * 1000:9.2f}" if median is not None else "  timeout"
        peer_shown = f"{peer_time * 1000:9.2f} {peer:8}" if peer_time else "        -         "
        ratio_shown = f"{ratio:6.2f}" if ratio is not None else "     -"
        print(f"{row['file']:48} {row['rows']:>4}x{row['cols']:<4} {row['line_solvable']:>3} "
              f"{outcome:12} {shown} ms {peer_shown} ms {ratio_shown}", flush=True)

    timed = [r for r in results if r[2] is not None]
    solvable = [r for r in timed if r[0]["line_solvable"] == "yes"]
    print()
    print(f"puzzles: {len(results)}, total {sum(r[2] for r in timed):.3f} s, "
          f"slowest {max((r[2] for r in timed), default=0) * 1000:.1f} ms")
    if args.complete:
        summarise_complete(results)
    elif solvable:
        ours = statistics.median(r[2] for r in solvable)
        peers = [r[3] for r in solvable if r[3]]
        print(f"line-solvable: {len(solvable)}, median {ours * 1000:.2f} ms; "
              f"fastest peer per puzzle, median {statistics.median(peers) * 1000:.2f} ms")
        mismatched = [r[0]["file"] for r in solvable if r[1] != "solved"]
        print(f"line-solvable puzzles not solved: {len(mismatched)} {' '.join(mismatched)}")

    if args.markdown:
        with open(args.markdown, "w", encoding="utf-8") as out:
            mode = "complete" if args.complete else "line"
            out.write(f"| puzzle | size | line-solvable | outcome | Tabulon ms | fastest peer ({mode}) ms | ratio |\n")
            out.write("|---|---|---|---|---:|---:|---:|\n")
            for row, outcome, median, peer_time, peer, ratio in results:
                out.write(f"| {row['file']} | {row['rows']}x{row['cols']} | {row['line_solvable']} | {outcome} | "
                          f"{median * 1000:.2f} | " if median is not None else
                          f"| {row['file']} | {row['rows']}x{row['cols']} | {row['line_solvable']} | {outcome} | - | ")
                out.write(f"{peer_time * 1000:.2f} ({peer}) | " if peer_time else "- | ")
                out.write(f"{ratio:.2f} |\n" if ratio is not None else "- |\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
