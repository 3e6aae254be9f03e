#!/usr/bin/env bash
# Static checks on the project's own sources:
#   format    clang-format --dry-run -Werror on every C++ file
#   tidy      clang-tidy (.clang-tidy) with the compile database of the lint preset (the
#             sanitize build's flags, each source file on its own, so that every file
#             is parsed alone even where the builds compile several as one), on the
#             files TIDY_FILES lists below; a file found clean is not checked
#             again until it, a header it includes, its flags or the checks change
#             (scripts/tidy.py keeps the results in ~/.cache/quorvel/tidy, across
#             checkouts; QUORVEL_NO_CACHE=1 checks every file afresh)
#   cppcheck  cppcheck on the plugin, the host and the tools
# Usage: scripts/lint.sh [format|tidy|cppcheck]...   (all three when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${LINT_PACKAGES[@]}"

format() {
    mapfile -t sources < <(git ls-files '*.cpp' '*.h')
    echo "== clang-format: ${#sources[@]} files"
    clang-format --dry-run -Werror "${sources[@]}"
}

tidy() {
    # The compile database only: no build is needed (no header is generated at build time).
    cmake --preset lint >/dev/null
    mapfile -t units < <(git ls-files "${TIDY_FILES[@]}" | grep -v -E "$TIDY_LEFT_OUT")
    echo "== clang-tidy: ${#units[@]} files"
    local cache=()
    if [ -n "${QUORVEL_NO_CACHE:-}" ]; then
        cache=(--no-cache)
    fi
    python3 scripts/tidy.py build/lint "${units[@]}" --clang-tidy "$CLANG_TIDY" --jobs "$(nproc)" \
        "${cache[@]}"
}

cppcheck_sources() {
    echo "== cppcheck"
    cppcheck --quiet --error-exitcode=1 --std=c++20 --language=c++ --inline-suppr \
        --enable=warning,performance,portability --suppress=missingIncludeSystem \
        -I host/include -I host/standin/include -I host/loader/include -I fileformat -I QuorvelPlugin \
        host fileformat QuorvelPlugin tools
}

# What clang-tidy reads: every translation unit of the native builds but the fuzz
# targets (built by clang alone) and the Windows-only tests.
TIDY_FILES=('*.cpp')
TIDY_LEFT_OUT='^(fuzz|tests/windows)/'

steps=("$@")
if [ ${#steps[@]} -eq 0 ]; then
    steps=(format tidy cppcheck)
fi
for step in "${steps[@]}"; do
    case "$step" in
        format) format ;;
        tidy) tidy ;;
        cppcheck) cppcheck_sources ;;
        *) echo "lint.sh: no step $step (format, tidy, cppcheck)" >&2; exit 2 ;;
    esac
done
echo "lint: ${steps[*]}: clean"
