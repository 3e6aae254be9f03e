# The Debian packages the project's scripts need, and how they are installed. Sourced
# by the scripts; apt-get runs only when something is missing, once for all of it.

# What the native build and its tests need (npm brings the report's chart library,
# chromium draws the report's page in a test).
NATIVE_PACKAGES=(cmake ninja-build g++ libgtest-dev libbenchmark-dev nlohmann-json3-dev libcli11-dev
    npm:npm)
TEST_PACKAGES=(chromium)
# What the Windows cross build and its tests under Wine need (script(1), for the
# console tests, comes with every Debian, in bsdutils).
WINDOWS_PACKAGES=(mingw-w64 wine wine64 unzip)
# clang-tidy 22 leaves system headers out of its checks: several times faster than the
# machine's clang-tidy 14 on this code (scripts/lint.sh).
CLANG_TIDY=clang-tidy-22
LINT_PACKAGES=(clang-format "$CLANG_TIDY" cppcheck)
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# scripts/test.sh compiles through ccache, whose cache outlives a clean checkout.
CACHE_PACKAGES=(ccache)

# Installs, in one apt-get run, the Debian packages named as arguments that are not
# installed yet. An argument `command:package` stands for `package` unless `command`
# is on the PATH already (the machine may have it from elsewhere, as it may have
# Node.js and npm).
ensure_packages() {
    local missing=() wanted command package
    for wanted in "$@"; do
        package="${wanted#*:}"
        if [ "$package" != "$wanted" ]; then
            command="${wanted%%:*}"
            if command -v "$command" >/dev/null 2>&1; then
                continue
            fi
        fi
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
