#!/usr/bin/env bash
# Installs the Debian 12 packages that PAVRIN needs to build, test and run.
# This is THE package list of the project: run.sh and test.sh both call this script.
# Only missing packages are installed, so a second run returns at once without touching apt.
#   scripts/install-deps.sh          install what is missing
#   scripts/install-deps.sh --list   print the package list and exit
set -euo pipefail

PACKAGES=(
    # build tools
    cmake ninja-build g++ pkg-config
    # Qt 6 front end (libqt6opengl6-dev: find_package(Qt6 ... Charts) fails without it)
    qt6-base-dev qt6-charts-dev libqt6opengl6-dev libxkbcommon-dev
    # vector pictures of graphs (QSvgGenerator)
    qt6-svg-dev
    # spreadsheet export, tests, benchmarks
    libxlsxwriter-dev libminizip-dev libgtest-dev libbenchmark-dev
    # "Times New Roman" metrics, headless windows for screenshots
    fonts-liberation2 xvfb xauth
    # libFuzzer targets (test.sh builds them with clang++)
    clang libclang-rt-14-dev
    # formatting with the repository's .clang-format
    clang-format
    # the manuals' text check (pdftotext) and looking at their pages (pdftoppm)
    poppler-utils
    # the Debian package and its checks (dpkg-shlibdeps, lintian, the desktop entry and file types)
    dpkg-dev file lintian desktop-file-utils libxml2-utils shared-mime-info
)

if [[ ${1:-} == --list ]]; then
    printf '%s\n' "${PACKAGES[@]}"
    exit 0
elif [[ $# -gt 0 ]]; then
    echo "usage: $0 [--list]" >&2
    exit 64
fi

# One dpkg-query call for the whole list; packages dpkg has never heard of print nothing.
declare -A installed=()
while read -r name status; do
    [[ $status == "install ok installed" ]] && installed[$name]=1
done < <(dpkg-query -W -f='${Package} ${Status}\n' "${PACKAGES[@]}" 2>/dev/null || true)

missing=()
for pkg in "${PACKAGES[@]}"; do
    [[ -n ${installed[$pkg]:-} ]] || missing+=("$pkg")
done
((${#missing[@]} == 0)) && exit 0

echo "install-deps: installing ${missing[*]}"
as_root=()
if [[ $(id -u) -ne 0 ]]; then
    as_root=(sudo)
fi
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
