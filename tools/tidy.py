"""Runs clang-tidy over sources as the dev build compiles them, a source a core, and fails on any finding and on any
source it could not check. A source found clean is not checked again while nothing clang-tidy reads for it has
changed: its text, every header the compiler read with it (as ninja recorded them), its command, .clang-tidy and
clang-tidy itself. Those verdicts are kept in build/dev/tidy-clean.

    python3 tools/tidy.py SOURCE...
"""
import concurrent.futures
import hashlib
import json
import os
import re
import shlex
import subprocess
import sys

BUILD = "build/dev"
KEPT = f"{BUILD}/tidy-clean"


def recorded_headers():
    """Each object's headers, by its path in the build, as ninja recorded them when it last compiled it."""
    listing = subprocess.run(["ninja", "-C", BUILD, "-t", "deps"], capture_output=True, text=True).stdout
    headers, current = {}, None
    for line in listing.splitlines():
        if line and not line.startswith(" "):
            # "src/....cpp.o: #deps 12, deps mtime 123 (VALID)": a stale record may miss a header added since.
            current = line.split(":")[0] if line.endswith("(VALID)") else None
            if current:
                headers[current] = []
        elif current and line.strip():
            headers[current].append(line.strip())
    return headers


def main(sources):
    commands = {os.path.realpath(entry["file"]): entry
                for entry in json.load(open(f"{BUILD}/compile_commands.json", encoding="utf-8"))}
    version = subprocess.run(["clang-tidy", "--version"], capture_output=True, text=True, check=True).stdout
    with open(".clang-tidy", "rb") as file:
        settings = file.read()
    headers = recorded_headers()
    kept = set(open(KEPT).read().split()) if os.path.exists(KEPT) else set()

    def key(source):
        entry = commands.get(os.path.realpath(source))
        if not entry:
            return None
        output = shlex.split(entry["command"])
        output = output[output.index("-o") + 1]
        if output not in headers:
            return None
        digest = hashlib.sha256(version.encode() + settings + entry["command"].encode())
        for path in [source] + [os.path.join(BUILD, header) for header in headers[output]]:
            with open(path, "rb") as file:
                digest.update(path.encode() + b"\0" + file.read())
        return digest.hexdigest()

    def tidy(source):
        run = subprocess.run(["clang-tidy", "-p", BUILD, "--quiet", source], capture_output=True, text=True)
        said = [line for line in (run.stdout + run.stderr).splitlines()
                if not re.match(r"^\d+ warnings? generated|^Suppressed|^Use -header-filter", line)]
        clean = run.returncode == 0 and not any(re.search(r"warning:|error:", line) for line in said)
        return clean, said, run.returncode

    keys = {source: key(source) for source in sources}
    checked = [source for source in sources if keys[source] is None or keys[source] not in kept]
    faults = 0
    with concurrent.futures.ThreadPoolExecutor(os.cpu_count()) as pool:
        for source, (clean, said, status) in zip(checked, pool.map(tidy, checked)):
            if clean:
                if keys[source]:
                    kept.add(keys[source])
                continue
            faults += 1
            print("\n".join(said))
            print(f"{source}: clang-tidy's exit status {status}, or the findings above")
    with open(KEPT, "w", encoding="utf-8") as file:
        file.write("\n".join(sorted(kept & set(keys.values()))) + "\n")
    name = "clang-tidy " + re.search(r"version (\S+)", version).group(1)
    print(f"{name}: {len(sources) - faults} of the {len(sources)} sources clean "
          f"({len(checked)} checked, {len(sources) - len(checked)} unchanged since found clean)")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]) if len(sys.argv) > 1 else "No source for clang-tidy to check")
