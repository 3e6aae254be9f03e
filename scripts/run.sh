#!/usr/bin/env bash
# Builds the project (release) and plays the simulator's built-in session through the
# plugin module. Arguments go to quorvel-sim (a scenario file, --realtime, ...).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${NATIVE_PACKAGES[@]}"
cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
exec build/release/bin/quorvel-sim "$@"
