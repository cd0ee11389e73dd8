#!/usr/bin/env bash
# Builds PAVRIN (Release), then
#   - with a display (DISPLAY or WAYLAND_DISPLAY set): starts the desktop program PAVRIN on the project;
#   - without one: runs one analysis with the headless runner pavrin-cli and prints the run status,
#     the paths of the report and plot file, and the load-settlement summary. The exit code is then
#     pavrin-cli's: the engine's run status, or 2/64/69/73 (see pavrin-cli --help).
#   ./run.sh [PROJECT.pv3d]     default: the bundled example project
set -euo pipefail

if [[ $# -gt 1 || ${1:-} == -h || ${1:-} == --help ]]; then
    echo "usage: ./run.sh [PROJECT.pv3d]" >&2
    exit 64
fi

# A relative project path is taken from the caller's folder, before moving to the repository root.
project=${1:-}
if [[ -n $project && $project != /* ]]; then
    project=$PWD/$project
fi
cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")"
project=${project:-$PWD/examples/driven-pile-clay-sand.pv3d}

./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j2
echo
if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; then
    echo "A display is available: starting the desktop program on $project"
    exec build/bin/PAVRIN "$project"
fi
echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): running the analysis with pavrin-cli"
exec build/bin/pavrin-cli run "$project"
