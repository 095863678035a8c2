#!/usr/bin/env bash
# Builds Nyilvex and starts it on a fresh copy of the sample database.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"

# A new sample database at every run, dated around today.
sample="$PWD/build/sample/Data"
rm -rf "$sample"
build/bin/nyilvex-newdb "$sample" --sample

# The sample run keeps a settings folder of its own under build/, so the
# user's own settings file never points at the sample.
export XDG_CONFIG_HOME="$PWD/build/sample/config"
settings="$XDG_CONFIG_HOME/Nyilvex/Nyilvex.ini"
mkdir -p "$(dirname "$settings")"
# Point it at the sample ([Adatbazis] Utvonal), keeping the rest (window places).
python3 - "$settings" "$sample" <<'PY'
import os, sys
path, folder = sys.argv[1], sys.argv[2]
lines = open(path, encoding="utf-8").read().splitlines() if os.path.exists(path) else []
out, section, done = [], None, False
for line in lines:
    stripped = line.strip()
    if stripped.startswith("[") and stripped.endswith("]"):
        if section == "adatbazis" and not done:
            out.append("Utvonal=" + folder)
            done = True
        section = stripped[1:-1].strip().lower()
    elif section == "adatbazis" and stripped.lower().startswith("utvonal="):
        line, done = "Utvonal=" + folder, True
    out.append(line)
if not done:
    if section != "adatbazis":
        out.append("[Adatbazis]")
    out.append("Utvonal=" + folder)
open(path, "w", encoding="utf-8", newline="\r\n").write("\n".join(out) + "\n")
PY

exec build/bin/Nyilvex
