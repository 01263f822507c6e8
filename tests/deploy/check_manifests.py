#!/usr/bin/env python3
"""Checks the cluster manifests against the program: the Indexed Job hands each pod's index
to --shard with the job's own shard count, every pod writes files of its own, the flags are
ones harvest accepts, and the merge step reads what the shards write.

usage: check_manifests.py DEPLOY_DIR TOLVARINE_EXE
"""
import fnmatch
import re
import subprocess
import sys

import yaml


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def job(path):
    with open(path, encoding="utf-8") as f:
        docs = [d for d in yaml.safe_load_all(f) if d]
    jobs = [d for d in docs if d.get("kind") == "Job"]
    if len(jobs) != 1:
        fail(f"{path}: expected one Job, found {len(jobs)}")
    return jobs[0]["spec"]


def main():
    deploy, exe = sys.argv[1], sys.argv[2]
    spec = job(deploy + "/harvest-job.yaml")
    if spec.get("completionMode") != "Indexed":
        fail("the harvest job is not an Indexed Job")
    completions = spec.get("completions")
    parallelism = spec.get("parallelism", 1)
    if not isinstance(completions, int) or completions < 1:
        fail("completions must be a positive number")
    if not 1 <= parallelism <= completions:
        fail(f"parallelism {parallelism} does not fit completions {completions}")

    pod = spec["template"]["spec"]
    (container,) = pod["containers"]
    args = [str(a) for a in container["args"]]
    if args[0] != "harvest":
        fail("the pods do not run harvest")
    if "--shard" not in args:
        fail("no --shard")
    shard = args[args.index("--shard") + 1]
    m = re.fullmatch(r"\$\(JOB_COMPLETION_INDEX\)/(\d+)", shard)
    if not m:
        fail(f"--shard {shard} does not take the pod's completion index")
    if int(m.group(1)) != completions:
        fail(f"--shard .../{m.group(1)} but completions is {completions}: shards would be lost")
    if "--continue" not in args:
        fail("a restarted pod would start its shard again: --continue is missing")

    help_text = subprocess.run([exe, "harvest", "--help"], capture_output=True, text=True).stdout
    accepted = set(re.findall(r"--[a-z-]+", help_text))
    for a in args:
        if a.startswith("--") and a not in accepted:
            fail(f"harvest does not accept {a}")

    outputs = []
    for flag in ("--phones-out", "--links-out"):
        if flag in args:
            out = args[args.index(flag) + 1]
            if "$(JOB_COMPLETION_INDEX)" not in out:
                fail(f"{flag} {out} is the same file for every pod")
            outputs.append(out)

    merge = job(deploy + "/harvest-merge.yaml")["template"]["spec"]["containers"][0]
    merge_text = " ".join(merge.get("command", []) + merge.get("args", []))
    globs = re.findall(r"tolvarine merge -o \S+ (\S+)", merge_text)
    for out in outputs:
        example = out.replace("$(JOB_COMPLETION_INDEX)", "0")
        if not any(fnmatch.fnmatch(example, g) for g in globs):
            fail(f"the merge step does not read {out}")
    print(f"ok: {completions} shards, merge reads {len(outputs)} outputs")


main()
