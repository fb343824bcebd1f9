# Debian packages the project needs, and the one function that makes sure they are installed.
# Sourced by run.sh and test.sh.

ZOVRENA_BUILD_PACKAGES=(
    g++ cmake ninja-build pkg-config ccache
    libsqlite3-dev unixodbc-dev tdsodbc
    libcpp-httplib-dev nlohmann-json3-dev libsodium-dev libfmt-dev libspdlog-dev
    nodejs
)
ZOVRENA_TEST_PACKAGES=(
    libgtest-dev libgmock-dev libbenchmark-dev librapidcheck-dev libsqliteodbc python3-sqlglot
    clang libclang-rt-14-dev clang-format-14 openssl nginx
    nodejs npm chromium
)

# Some nodejs builds bring their own npm, which the Debian npm package conflicts with: the package
# is asked for only when the command is missing.
if command -v npm >/dev/null 2>&1; then
    _zovrena_packages=()
    for _zovrena_package in "${ZOVRENA_TEST_PACKAGES[@]}"; do
        [ "$_zovrena_package" = npm ] || _zovrena_packages+=("$_zovrena_package")
    done
    ZOVRENA_TEST_PACKAGES=("${_zovrena_packages[@]}")
    unset _zovrena_packages _zovrena_package
else
    ZOVRENA_BUILD_PACKAGES+=(npm)
fi

# ensure_packages PACKAGE...: installs what is missing when root, otherwise prints the command.
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    local command="apt-get install -y ${missing[*]}"
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing: ${missing[*]}"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        # shellcheck disable=SC2086
        apt-get install -y -qq --no-install-recommends ${missing[*]}
    else
        echo "Missing Debian packages. Run as root:" >&2
        echo "    sudo apt-get update && sudo $command" >&2
        return 1
    fi
}
