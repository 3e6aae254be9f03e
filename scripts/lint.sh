#!/usr/bin/env bash
# Static checks: layout (clang-format), clang-tidy and cppcheck on the project's own
# sources. Needs the dev build's compile_commands.json (scripts/test.sh makes it).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${LINT_PACKAGES[@]}"

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
echo "== clang-format: ${#sources[@]} files"
clang-format --dry-run -Werror "${sources[@]}"

if [ ! -f build/dev/compile_commands.json ]; then
    cmake --preset dev >/dev/null
fi
mapfile -t units < <(git ls-files '*.cpp' | grep -v '^fuzz/' | grep -v '^tests/windows/')
echo "== clang-tidy: ${#units[@]} files"
printf '%s\n' "${units[@]}" | xargs -P "$(nproc)" -n 4 clang-tidy -p build/dev --quiet 2>/dev/null

echo "== cppcheck"
cppcheck --quiet --error-exitcode=1 --std=c++20 --language=c++ --inline-suppr \
    --enable=warning,performance,portability --suppress=missingIncludeSystem \
    -I host/include -I host/standin/include -I host/loader/include -I fileformat -I QuorvelPlugin \
    host fileformat QuorvelPlugin tools
echo "lint: clean"
