#!/usr/bin/env python3
"""Writes docs/performance.md from one run of the benchmarks (Google Benchmark JSON with median
aggregates), the instruction counts that callgrind collected, and a description of the machine.
The notes in bench/notes.md (what was fixed and what stays out of reach) follow the table."""

import argparse
import json
import pathlib
import re
import subprocess

# The goals, on the machine that runs the benchmarks.
FRAME_GOAL_US = 50.0
FRAME_INSTRUCTION_GOAL = 600_000
FRAME_INSTRUCTION_AIM = 300_000
# The ways of computing a ray strip, by the number the frame benchmark records.
STRIP_PATHS = ["plain", "sse2", "avx2"]
READER_GOAL_RATIO = 1.0
STARTUP_GOAL_MS = 150.0
# A Wayland frame may cost this much more CPU time than an X11 frame at the same size.
WAYLAND_GOAL_RATIO = 1.10

READERS = [
    ("tga24", "TGA, 24-bit"),
    ("tga32", "TGA, 32-bit"),
    ("bmp24", "BMP, 24-bit"),
    ("ppm", "PNM P6 (binary RGB)"),
    ("pgm", "PNM P5 (binary grey)"),
]

TO_SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def medians(benchmark_json):
    """Median and coefficient of variation of every case, in seconds, with its counters. Cases
    timed on the wall clock (GL, whose rasterizer runs on threads of its own) carry /real_time
    in their names; the others are timed in CPU time, which other processes disturb less: the
    thread's, or the whole process's where the name ends in /process_time."""
    cases = {}
    for entry in benchmark_json["benchmarks"]:
        if entry.get("run_type") != "aggregate":
            continue
        name = entry["run_name"]
        clock = "real_time" if name.endswith("/real_time") else "cpu_time"
        base = re.sub(r"(/iterations:\d+)?(/process_time)?(/real_time)?$", "", name)
        case = cases.setdefault(base, {})
        if entry["aggregate_name"] == "median":
            case["seconds"] = entry[clock] * TO_SECONDS[entry["time_unit"]]
            case["counters"] = entry
            case["clock"] = "wall" if clock == "real_time" else "CPU"
        elif entry["aggregate_name"] == "cv":
            case["cv"] = entry[clock]
    return cases


def instructions(build, mode):
    """Instructions per frame or per call from a callgrind run and the count its driver printed."""
    totals = None
    for line in (build / f"callgrind.{mode}").read_text().splitlines():
        if line.startswith("totals:"):
            totals = int(line.split()[1])
    count = int((build / f"callgrind.{mode}.count").read_text().split()[0])
    return totals / count


def path_instructions(build):
    """Instructions per frame on each strip path that callgrind ran, by path name."""
    counts = {}
    for path in STRIP_PATHS:
        if (build / f"callgrind.frame_{path}").exists():
            counts[path] = instructions(build, f"frame_{path}")
    return counts


def command_output(arguments):
    try:
        return subprocess.run(arguments, capture_output=True, text=True, check=True).stdout
    except (OSError, subprocess.CalledProcessError):
        return ""


def machine(compiler, context):
    lscpu = command_output(["lscpu"])
    model = re.search(r"^Model name:\s*(.+)$", lscpu, re.M)
    cpus = re.search(r"^CPU\(s\):\s*(\d+)$", lscpu, re.M)
    memory = re.search(r"^MemTotal:\s*(\d+) kB", pathlib.Path("/proc/meminfo").read_text(), re.M)
    version = command_output([compiler, "--version"]).splitlines()
    return [
        ("CPU", model.group(1) if model else "unknown"),
        ("cores", cpus.group(1) if cpus else "unknown"),
        ("memory", f"{int(memory.group(1)) / 1048576:.1f} GiB" if memory else "unknown"),
        ("compiler", (version[0] if version else compiler) + ", CMake Release (-O3)"),
        ("GL", context.get("gl_renderer") or "no headless GL context"),
        ("load average at the start", context.get("load_before", "unknown")),
        ("date", context.get("date", "unknown")),
    ]


def ms(seconds):
    return f"{seconds * 1e3:.3g} ms" if seconds >= 1e-3 else f"{seconds * 1e6:.3g} µs"


def noise(case):
    return f"±{case['cv'] * 100:.0f}%" if "cv" in case else ""


def verdict(met):
    return "met" if met else "**missed**"


def display_lines(display_cases):
    """The table rows and the reading of the Linux program's frames on X11 (as fast as it can
    and paced) and on Wayland, or a line saying which host was missing."""
    x11 = display_cases.get("display_frame/x11")
    wayland = display_cases.get("display_frame/wayland")
    if x11 is None or wayland is None:
        missing = " or ".join(name for name, case in (("X11", x11), ("Wayland", wayland))
                               if case is None)
        return [], [f"- Display frames: not measured, no {missing} host (skipped)."]
    ratio = wayland["seconds"] / x11["seconds"]
    size = f"{x11['counters']['width']:.0f} x {x11['counters']['height']:.0f}"
    paced = display_cases.get("display_frame/x11_paced")
    rows = [
        f"| whole frame of the Linux program, full screen {size}, no pause: X11 on Xvfb / "
        f"Wayland on sway headless, CPU time of the process | {ms(x11['seconds'])} / "
        f"{ms(wayland['seconds'])} | {noise(x11)} / {noise(wayland)} | "
        f"{x11['counters']['fps']:.0f} / {wayland['counters']['fps']:.0f} frames per second; "
        f"CPU ratio Wayland / X11 {ratio:.2f} | ratio ≤ {WAYLAND_GOAL_RATIO:.2f} | "
        f"{verdict(ratio <= WAYLAND_GOAL_RATIO)} |"
    ]
    reading = [
        f"- Wayland against X11 at {size}: a Wayland frame costs {ms(wayland['seconds'])} of CPU "
        f"time, an X11 frame {ms(x11['seconds'])}, ratio {ratio:.2f} against at most "
        f"{WAYLAND_GOAL_RATIO:.2f}, {verdict(ratio <= WAYLAND_GOAL_RATIO)}. sway asks for a "
        f"frame at most about 60 times a second, so the Wayland frame rate "
        f"({wayland['counters']['fps']:.0f}) is capped and only the CPU time compares; the X11 "
        f"run draws as fast as it can ({x11['counters']['fps']:.0f})."
    ]
    if paced is not None:
        paced_ratio = wayland["seconds"] / paced["seconds"]
        rows.append(
            f"| the same X11 frame with a {paced['counters']['delay_ms']:.0f} ms pause after it "
            f"(-delay), near sway's rate | "
            f"{ms(paced['seconds'])} | {noise(paced)} | {paced['counters']['fps']:.0f} frames "
            f"per second; CPU ratio Wayland / paced X11 {paced_ratio:.2f} | | |"
        )
        reading.append(
            f"- Paced near sway's rate, an X11 frame costs {ms(paced['seconds'])}: the "
            f"rasterizer's threads wake for every frame there too. Wayland against that: "
            f"ratio {paced_ratio:.2f}."
        )
    return rows, reading


def report(cases, cold_cases, display_cases, frame_instructions, path_instructions_per_frame,
           height_instructions, facts, commit):
    lines = ["# Performance", ""]
    lines += ["Regenerate this page with", "", "    scripts/bench", ""]
    lines.append(
        "from the repository root: it builds the benchmarks (bench/) in a fresh Release build "
        "under build/bench, runs them and rewrites this file. Times are medians of the "
        "repetitions, with their coefficient of variation; CPU cases are timed in CPU time, GL "
        "cases on the wall clock. Instruction counts come from callgrind and do not depend on the "
        f"machine's load. Source: commit {commit}."
    )
    lines += ["", "## Machine", ""]
    lines += [f"- {key}: {value}" for key, value in facts]
    lines += ["", "## Results", ""]
    lines += ["| case | median | noise | per unit | goal | |", "|---|---|---|---|---|---|"]

    frame = cases["frame_cpu"]
    vertices = frame["counters"]["vertices"]
    path = STRIP_PATHS[int(frame["counters"]["path"])]
    frame_met = frame["seconds"] * 1e6 <= FRAME_GOAL_US
    instructions_met = frame_instructions <= FRAME_INSTRUCTION_GOAL
    lines.append(
        f"| CPU side of a frame: 31 `buildRayStrip` calls, start-up settings, shipped map, "
        f"the {path} path that this machine takes | "
        f"{ms(frame['seconds'])} | {noise(frame)} | {frame['seconds'] / vertices * 1e9:.1f} ns "
        f"per vertex; {frame_instructions:,.0f} instructions "
        f"({frame_instructions / vertices:.0f} per vertex) | ≤ {FRAME_GOAL_US:.0f} µs; "
        f"≤ {FRAME_INSTRUCTION_GOAL:,} instructions | {verdict(frame_met)}; "
        f"{verdict(instructions_met)} |"
    )
    for other, counted in path_instructions_per_frame.items():
        case = cases.get(f"frame_cpu/{other}")
        if case is None:
            continue
        lines.append(
            f"| the same frame on the {other} path | {ms(case['seconds'])} | {noise(case)} | "
            f"{case['seconds'] / vertices * 1e9:.1f} ns per vertex; {counted:,.0f} instructions "
            f"({counted / vertices:.0f} per vertex) | | |"
        )
    height = cases["height_at"]
    calls = height["counters"]["calls"]
    lines.append(
        f"| `heightAt` alone, over the {calls:.0f} points of a frame | {ms(height['seconds'])} | "
        f"{noise(height)} | {height['seconds'] / calls * 1e9:.1f} ns per call; "
        f"{height_instructions:.0f} instructions per call | | |"
    )

    ratios = {}
    floors = {}
    for key, label in READERS:
        ours = cases[f"read/{key}/ours"]
        stb = cases[f"read/{key}/stb"]
        fresh = cases[f"read/{key}/fresh_floats"]
        ratio = ours["seconds"] / stb["seconds"]
        ratios[key] = ratio
        floors[key] = fresh["seconds"] / stb["seconds"]
        rate_ours = ours["counters"]["bytes_per_second"] / 1e6
        rate_stb = stb["counters"]["bytes_per_second"] / 1e6
        lines.append(
            f"| read 2048 x 2048 {label}: ours (floats) / stb_image (bytes) / a fresh float "
            f"picture of that size, written once | {ms(ours['seconds'])} / {ms(stb['seconds'])} / "
            f"{ms(fresh['seconds'])} | {noise(ours)} / {noise(stb)} / {noise(fresh)} | "
            f"{rate_ours:.0f} / {rate_stb:.0f} MB/s; ratio {ratio:.2f}, fresh picture alone "
            f"{floors[key]:.2f} | ratio ≤ {READER_GOAL_RATIO:.1f} | "
            f"{verdict(ratio <= READER_GOAL_RATIO)} |"
        )

    for size, label in (("3000/2000", "3000 x 2000 to 2048 x 1024"),
                        ("300/200", "300 x 200 to 256 x 128")):
        resize = cases[f"resize_down/{size}"]
        pixels = resize["counters"]["out_pixels"]
        lines.append(
            f"| `resizeToPowerOfTwo`, rounding down, RGB {label} | {ms(resize['seconds'])} | "
            f"{noise(resize)} | {resize['seconds'] / pixels * 1e9:.0f} ns per new pixel | | |"
        )

    startup = cold_cases["startup_first_frame"]
    startup_met = startup["seconds"] * 1e3 <= STARTUP_GOAL_MS
    for case, label in ((startup, "Mesa's shader cache off (a first start)"),
                        (cases["startup_first_frame"], "shader cache as it is (later starts)")):
        lines.append(
            f"| start-up on the headless backend, `loadDefaultAssets` to the first swapped frame, "
            f"{label} | {ms(case['seconds'])} | {noise(case)} | assets "
            f"{case['counters']['assets_ms']:.1f} ms, first frame "
            f"{case['counters']['first_frame_ms']:.1f} ms | ≤ {STARTUP_GOAL_MS:.0f} ms | "
            f"{verdict(case['seconds'] * 1e3 <= STARTUP_GOAL_MS)} |"
        )
    whole = cases["frame_whole"]
    empty = cases["frame_empty"]
    lines.append(
        f"| whole frame, headless 640 x 480 / empty frame (clear and swap) | "
        f"{ms(whole['seconds'])} / {ms(empty['seconds'])} | {noise(whole)} / {noise(empty)} | "
        f"{1 / whole['seconds']:.0f} / {1 / empty['seconds']:.0f} frames per second; whole "
        f"takes {whole['seconds'] / empty['seconds']:.1f} x the empty frame | | |"
    )
    display_row, display_reading = display_lines(display_cases)
    lines += display_row

    lines += ["", "## Reading", ""]
    lines.append(
        f"- CPU side of a frame: {ms(frame['seconds'])} against the goal of "
        f"{FRAME_GOAL_US:.0f} µs, {verdict(frame_met)}; it is "
        f"{frame['seconds'] / whole['seconds'] * 100:.1f}% of a whole software-rendered frame, "
        f"so the frame rate is set by the rasterizer, not by the strips. Callgrind counts "
        f"{frame_instructions:,.0f} instructions per frame on the {path} path against at most "
        f"{FRAME_INSTRUCTION_GOAL:,} (aim {FRAME_INSTRUCTION_AIM:,}), "
        f"{verdict(instructions_met)}."
    )
    met = [key for key, _ in READERS if ratios[key] <= READER_GOAL_RATIO]
    missed = [key for key, _ in READERS if ratios[key] > READER_GOAL_RATIO]
    out_of_reach = [key for key in missed if floors[key] > READER_GOAL_RATIO]
    lines.append(
        "- Readers against stb_image: "
        + (f"as fast or faster for {', '.join(met)}" if met else "none as fast")
        + ("; slower for " + ", ".join(f"{key} ({ratios[key]:.2f})" for key in missed)
           if missed else "")
        + ". Ours write four bytes per sample where stb_image writes one"
        + (f"; for {', '.join(out_of_reach)} merely allocating and writing a float picture of "
           "the same size takes longer than stb_image's whole read, so no float reader can meet "
           "the goal there on this machine" if out_of_reach else "")
        + "."
    )
    lines.append(
        f"- Start-up to the first frame, shader cache off: {ms(startup['seconds'])} against "
        f"{STARTUP_GOAL_MS:.0f} ms, {verdict(startup_met)}; most of it is the first frame, in "
        f"which the software rasterizer compiles its shaders."
    )
    lines += display_reading
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", required=True, type=pathlib.Path)
    parser.add_argument("--compiler", required=True)
    parser.add_argument("--load", required=True)
    parser.add_argument("--commit", required=True)
    parser.add_argument("--notes", required=True, type=pathlib.Path)
    parser.add_argument("--out", required=True, type=pathlib.Path)
    options = parser.parse_args()

    benchmark_json = json.loads((options.build / "bench.json").read_text())
    context = dict(benchmark_json["context"], load_before=options.load)
    cold_json = json.loads((options.build / "bench-cold.json").read_text())
    display_json = json.loads((options.build / "bench-display.json").read_text())
    text = report(
        medians(benchmark_json),
        medians(cold_json),
        medians(display_json),
        instructions(options.build, "frame"),
        path_instructions(options.build),
        instructions(options.build, "height_at"),
        machine(options.compiler, context),
        options.commit,
    )
    options.out.write_text(text + "\n" + options.notes.read_text())


if __name__ == "__main__":
    main()
