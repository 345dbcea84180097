#!/usr/bin/env python3
"""Runs clang-tidy on one source file for scripts/tidy.sh, remembering clean results.

    tidy-one.py CLANG_TIDY DB_DIR CHECKS CACHE_DIR FILE

A file is checked again only when what clang-tidy would see changes: the key is the
clang-tidy version, the configuration, the extra checks and the file as preprocessed with its
own flags (so every header it includes counts). Only clean results are remembered: a file with
findings is checked, and its findings shown, on every run. Exits with clang-tidy's status.
"""
import hashlib
import json
import os
import shlex
import subprocess
import sys

tidy, db, checks, cache, source = sys.argv[1:6]
with open(os.path.join(db, "compile_commands.json")) as f:
    entry = next(e for e in json.load(f) if e["file"] == source)
args = entry["arguments"] if "arguments" in entry else shlex.split(entry["command"])

# The compile command, made to preprocess to standard output.
preprocess = [args[0]]
skip = False
for arg in args[1:]:
    if skip:
        skip = False
    elif arg in ("-o", "-MF", "-MT", "-MQ"):
        skip = True
    elif arg in ("-c", "-MD", "-MMD") or arg == source:
        pass
    else:
        preprocess.append(arg)
if preprocess[0].endswith("ccache"):
    preprocess = preprocess[1:]
# Comments (a NOLINT) and macro definitions kept: they change what clang-tidy reports too.
preprocess += ["-E", "-C", "-dD", source]

key = hashlib.sha256()
key.update(subprocess.run([tidy, "--version"], capture_output=True).stdout)
key.update(subprocess.run([tidy, "--dump-config"], capture_output=True, cwd=os.path.dirname(source)).stdout)
key.update(checks.encode() + b"\0" + source.encode() + b"\0")
expanded = subprocess.run(preprocess, capture_output=True, cwd=entry["directory"])
remembered = None
if expanded.returncode == 0:
    key.update(expanded.stdout)
    remembered = os.path.join(cache, key.hexdigest())
    if os.path.exists(remembered):
        sys.exit(0)

command = [tidy, "-p", db, "--quiet"] + ([f"--checks={checks}"] if checks else []) + [source]
result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
sys.stdout.buffer.write(result.stdout)
if result.returncode == 0 and remembered is not None:
    os.makedirs(cache, exist_ok=True)
    open(remembered, "w").close()
sys.exit(result.returncode)
