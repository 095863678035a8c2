#!/usr/bin/env bash
# Builds Nyilvex and starts it on a fresh copy of the sample database.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
exec build/bin/Nyilvex
