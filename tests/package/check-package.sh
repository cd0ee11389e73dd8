#!/usr/bin/env bash
# The Debian package end to end, without installing it:
#   check-package.sh BUILD_DIR SOURCE_DIR VERSION
# builds the package target, checks its control fields and layout, unpacks it into a temporary root
# made read-only, and from there (as an unprivileged user when run as root, with no path of the
# build tree in the environment) runs an example with pavrin-cli, plots a graph, and starts the
# desktop program offscreen on the project; then checks that nothing was written into the unpacked
# tree, that no installed file names the build tree, and runs desktop-file-validate, xmllint and
# lintian (no errors allowed; warnings are printed).
set -euo pipefail

if [[ $# -ne 3 ]]; then
    echo "usage: $0 BUILD_DIR SOURCE_DIR VERSION" >&2
    exit 64
fi
build=$(readlink -f "$1")
source=$(readlink -f "$2")
version=$3

step() { printf '\n-- %s\n' "$*"; }
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

for tool in dpkg-deb dpkg-shlibdeps desktop-file-validate xmllint lintian update-mime-database readelf setpriv; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh installs it)"
done

work=$(mktemp -d /tmp/pavrin-package-XXXXXX)
gui_pid=
cleanup() {
    [[ -n $gui_pid ]] && kill "$gui_pid" 2>/dev/null
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

step "building the package"
deb=$build/pavrin_${version}_$(dpkg --print-architecture).deb
rm -f "$deb"
if ! cmake --build "$build" --target package >"$work/package.log" 2>&1; then
    cat "$work/package.log" >&2
    fail "the package target failed"
fi
[[ -f $deb ]] || fail "the package target did not write $deb"
echo "$deb"

step "control fields"
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == pavrin ]] || fail "Package: $(field Package)"
[[ $(field Version) == "$version" ]] || fail "Version: $(field Version), the project's is $version"
[[ $(field Section) == science ]] || fail "Section: $(field Section)"
[[ -n $(field Maintainer) ]] || fail "no Maintainer"
# dpkg-shlibdeps found the Qt and C++ libraries the programs link.
depends=$(field Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6widgets6 libqt6svg6; do
    [[ $depends == *"$library "* || $depends == *"$library," || $depends == *"$library" ]] ||
        fail "Depends lacks $library: $depends"
done
[[ $(field Description | wc -l) -ge 3 ]] || fail "the description has no long text"
echo "Depends: $depends"

step "layout"
root=$work/root
dpkg-deb -x "$deb" "$root"
program=$root/usr/lib/pavrin
for file in usr/lib/pavrin/PAVRIN usr/lib/pavrin/pavrin-cli usr/lib/pavrin/libPAVRIN2014_DLL.so \
    usr/lib/pavrin/pavrin-cli-plot.so usr/share/doc/pavrin/PAVRIN2014UsersManual.pdf \
    usr/share/doc/pavrin/PAVRIN2014TechnicalManual.pdf usr/share/doc/pavrin/copyright \
    usr/share/doc/pavrin/changelog.gz usr/share/pavrin/examples/driven-pile-clay-sand.pv3d \
    usr/share/applications/pavrin.desktop usr/share/mime/packages/pavrin.xml \
    usr/share/icons/hicolor/scalable/apps/pavrin.svg usr/share/man/man1/pavrin.1.gz \
    usr/share/man/man1/pavrin-cli.1.gz; do
    [[ -f $root/$file ]] || fail "the package lacks /$file"
done
for command in pavrin:PAVRIN pavrin-cli:pavrin-cli; do
    link=$root/usr/bin/${command%%:*}
    [[ -L $link && $(readlink "$link") == ../lib/pavrin/${command#*:} ]] ||
        fail "/usr/bin/${command%%:*} is not a relative link to ../lib/pavrin/${command#*:}"
    [[ $(readlink -f "$link") == "$program/${command#*:}" ]] || fail "$link does not resolve"
done

step "no path of the build tree in what is installed"
if found=$(grep -rlF -e "$build" "$root"); then
    fail "these installed files name the build tree $build: $found"
fi
for elf in "$program"/*; do
    if readelf -d "$elf" | grep -E 'RPATH|RUNPATH'; then
        fail "$elf carries a run path"
    fi
    # Our libraries are loaded by path; the programs link none of them.
    if readelf -d "$elf" | grep -E 'NEEDED.*(PAVRIN|pavrin)'; then
        fail "$elf links a library of this project"
    fi
done

step "desktop entry, file types, icon"
desktop-file-validate "$root/usr/share/applications/pavrin.desktop"
xmllint --noout "$root/usr/share/mime/packages/pavrin.xml" "$root/usr/share/icons/hicolor/scalable/apps/pavrin.svg"
grep -qx 'Exec=pavrin %f' "$root/usr/share/applications/pavrin.desktop" || fail "Exec is not 'pavrin %f'"
# The file types as a file manager sees them: the MIME database made from the package's file maps the
# project extensions to the types the desktop entry opens.
mkdir -p "$work/mime/packages"
cp "$root/usr/share/mime/packages/pavrin.xml" "$work/mime/packages/"
update-mime-database "$work/mime"
for pair in application/x-pavrin-project:pv3d application/x-pavrin-project-old:pvd; do
    grep -q "^50:${pair%%:*}:\*\.${pair#*:}$" "$work/mime/globs2" || fail "no glob *.${pair#*:} for ${pair%%:*}"
    grep -q "MimeType=.*${pair%%:*};" "$root/usr/share/applications/pavrin.desktop" ||
        fail "the desktop entry does not open ${pair%%:*}"
done
grep -q '^application/x-pavrin-project:pavrin$' "$work/mime/icons" || fail "the project type has no icon"

step "running the unpacked programs"
# The unpacked tree read-only; as root, whom file modes do not stop, the programs run as nobody.
chmod -R a-w "$root"
find "$root" -printf '%P %y %s %m %T@\n' | sort >"$work/before"
run_as=()
user_dir() { mkdir -p "$@"; }
if [[ $(id -u) -eq 0 ]]; then
    run_as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    chmod 755 "$work"
    user_dir() {
        mkdir -p "$@"
        chown 65534:65534 "$@"
    }
    echo "running as uid 65534 (nobody): root is not stopped by a read-only folder"
fi
home=$work/home
user_dir "$home" "$home/runtime" "$work/project"
chmod 700 "$home/runtime"
cp "$root/usr/share/pavrin/examples/driven-pile-clay-sand.pv3d" "$work/project/"
chmod u+w "$work/project/driven-pile-clay-sand.pv3d"
[[ $(id -u) -eq 0 ]] && chown 65534:65534 "$work/project/driven-pile-clay-sand.pv3d"
project=$work/project/driven-pile-clay-sand.pv3d
# Nothing of the build tree or of the caller's environment: the programs find their parts by themselves.
clean_env=(env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/runtime" LANG=C.UTF-8)
as_user() { "${run_as[@]}" "${clean_env[@]}" "$@"; }

as_user "$root/usr/bin/pavrin-cli" run "$project" >"$work/run.log" 2>&1 || {
    cat "$work/run.log" >&2
    fail "pavrin-cli run ended with status $?"
}
cat "$work/run.log"
for output in pv3o pv3p; do
    [[ -s ${project%.pv3d}.$output ]] || fail "the run wrote no .$output file"
done

as_user "$root/usr/bin/pavrin-cli" plot "$project" --graph load --out "$work/project/load.png" >"$work/plot.log" 2>&1 || {
    cat "$work/plot.log" >&2
    fail "pavrin-cli plot failed"
}
cat "$work/plot.log"
[[ $(head -c 8 "$work/project/load.png" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] ||
    fail "the plot is not a PNG picture"

as_user QT_QPA_PLATFORM=offscreen "$root/usr/bin/pavrin" "$project" >"$work/gui.log" 2>&1 &
gui_pid=$!
sleep 5
if ! kill -0 "$gui_pid" 2>/dev/null; then
    wait "$gui_pid" && status=0 || status=$?
    gui_pid=
    cat "$work/gui.log" >&2
    fail "the desktop program ended at start (status $status)"
fi
kill "$gui_pid"
wait "$gui_pid" 2>/dev/null || true
gui_pid=
echo "the desktop program stayed up on the project"

step "nothing written into the unpacked tree"
find "$root" -printf '%P %y %s %m %T@\n' | sort >"$work/after"
diff "$work/before" "$work/after" || fail "the programs changed the unpacked tree (above)"

step "lintian"
# Tags are printed; an error fails the check.
lintian --fail-on error --display-info "$deb" || fail "lintian reports errors"
echo "package check passed"
