# Installs the Debian packages named as arguments that are not installed yet.
# Sourced by the project's scripts; runs apt-get only when something is missing.
ensure_packages() {
    local missing=()
    for package in "$@"; do
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

# Installs the Debian package `package` unless `command` is already on the PATH
# (the machine may have it from elsewhere, as it may have Node.js and npm).
ensure_command() {
    local command="$1" package="$2"
    if ! command -v "$command" >/dev/null 2>&1; then
        ensure_packages "$package"
    fi
}

# What the native build and its tests need (npm brings the report's chart library,
# chromium draws the report's page in a test).
NATIVE_PACKAGES=(cmake ninja-build g++ libgtest-dev libbenchmark-dev nlohmann-json3-dev libcli11-dev)
TEST_PACKAGES=(chromium)
# What the Windows cross build and its tests under Wine need.
WINDOWS_PACKAGES=(mingw-w64 wine wine64 unzip)
LINT_PACKAGES=(clang-format clang-tidy cppcheck)
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
