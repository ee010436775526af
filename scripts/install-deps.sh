#!/usr/bin/env bash
# Installs the Debian packages Tomekeep needs: scripts/install-deps.sh run|test|coverage
#   run       what building and running the program needs
#   test      that, and what the tests, the install checks and the benchmarks need as well
#   coverage  that, and the coverage report tool
set -euo pipefail
purpose="${1:-test}"
build_packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libsqlite3-dev libicu-dev
)
# Liberation for the reports' measured fonts; DejaVu so that windows draw in a proportional
# interface font on a bare machine; the sqlite3 tool for backups by hand.
run_packages=(libqt6sql6-sqlite fonts-liberation2 fonts-dejavu-core sqlite3)
test_packages=(
    libbenchmark-dev xvfb xauth poppler-utils
    desktop-file-utils appstream
)
case "$purpose" in
run) packages=("${build_packages[@]}" "${run_packages[@]}") ;;
test) packages=("${build_packages[@]}" "${run_packages[@]}" "${test_packages[@]}") ;;
coverage) packages=("${build_packages[@]}" "${run_packages[@]}" "${test_packages[@]}" gcovr) ;;
*)
    echo "usage: $0 run|test|coverage" >&2
    exit 2
    ;;
esac
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y "${missing[@]}"
fi
