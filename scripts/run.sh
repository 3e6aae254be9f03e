#!/usr/bin/env bash
# Builds the plugin module (release) and says where it is.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${NATIVE_PACKAGES[@]}"
cmake --preset release >/dev/null
cmake --build --preset release
echo "Plugin module: $(pwd)/build/release/bin/QuorvelPlugin.so"
