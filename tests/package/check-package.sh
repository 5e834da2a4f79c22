#!/usr/bin/env bash
# Builds the Debian package from this checkout (scripts/package.sh) and checks it as a user gets
# it: unpacked, its programs run, its desktop files validate, its manual pages render and list
# the options --help lists, its file type is found, lintian finds no error. As root it is also
# installed with apt-get, started and removed again.
# Usage: check-package.sh SOURCE-FOLDER WORK-FOLDER. Exit 77: a tool is missing.
set -euo pipefail
src=$1 work=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in dpkg-buildpackage dh lintian desktop-file-validate appstreamcli man \
            update-mime-database gio pgrep; do
    command -v "$tool" >/dev/null || { echo "SKIP: no $tool (scripts/setup.sh installs it)"; exit 77; }
done

mkdir -p "$work"
# ccache where installed; named outright, as debhelper gives the build a HOME of its own.
if [ -d /usr/lib/ccache ]; then export PATH=/usr/lib/ccache:$PATH CCACHE_DIR=$(ccache -k cache_dir); fi
export DEB_BUILD_OPTIONS="parallel=2 ${DEB_BUILD_OPTIONS:-}"
"$src/scripts/package.sh" "$work" >"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log"; fail "package build"; }
deb=$(tail -n 1 "$work/build.log")
version=$(dpkg-deb -f "$deb" Version)
root=$work/root bin=$work/root/usr/bin share=$work/root/usr/share
rm -rf "$root" && dpkg-deb -x "$deb" "$root"

"$bin/kr44" --version | grep -qx "File version: *$version" || fail "kr44 --version is not $version"
"$bin/kr44" --check "$share/doc/kr44/examples/axis-demo.krp" || fail "kr44 --check on the example"
id=$(basename "$share"/applications/*.desktop .desktop)
grep -qx "Icon=$id" "$share/applications/$id.desktop" && grep -q "<id>$id</id>" "$share/metainfo/$id.metainfo.xml" \
    && [ -f "$share/icons/hicolor/scalable/apps/$id.svg" ] || fail "entry, AppStream data and icon are not all named $id"
desktop-file-validate "$share/applications/$id.desktop" || fail desktop-file-validate
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"

# Option names as a reader sees them: --long, -s, and the /words of kr44 (not /folders/).
options() { grep -oP '(?<![\w-])(--?[a-zA-Z][\w-]*|/[A-Za-z]+(?![\w/]))' | sort -u; }
for prog in kr44 kr44-sim; do
    page=$(MANWIDTH=200 MANROFFOPT=-rHY=0 man -E ascii --warnings -P cat -l "$share/man/man1/$prog.1.gz" 2>"$work/man.err")
    [ -n "$page" ] && [ ! -s "$work/man.err" ] || { cat "$work/man.err"; fail "man $prog does not render cleanly"; }
    diff <("$bin/$prog" --help | options) <(sed -n '/^OPTIONS/,/^[A-Z]/p' <<<"$page" | options) \
        || fail "man $prog lists other options than $prog --help (<: help, >: man)"
done

mkdir -p "$work/mime/mime/packages" && cp "$share"/mime/packages/*.xml "$work/mime/mime/packages/"
update-mime-database "$work/mime/mime"
XDG_DATA_HOME=$work/none XDG_DATA_DIRS=$work/mime gio info -a standard::content-type \
    "$share/doc/kr44/examples/axis-demo.krp" | grep -q 'content-type: application/x-kr44-program$' \
    || fail "*.krp is not the program type in a database made from the package's MIME file"
lintian --fail-on error "$deb" || fail "lintian reports an error"

if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
    echo "SKIP (install and removal only): needs root and apt-get"; exit 0
fi
if dpkg-query -W -f='${Status}' kr44 2>/dev/null | grep -q ' installed'; then
    echo "SKIP (install and removal only): kr44 is installed on this machine already"; exit 0
fi
pid=""
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null; apt-get remove -y -qq kr44 >/dev/null 2>&1 || true' EXIT
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" >"$work/apt.log" 2>&1 \
    || { cat "$work/apt.log"; fail "apt-get install"; }
[ "$(command -v kr44)" = /usr/bin/kr44 ] && kr44 --version | grep -qx "File version: *$version" \
    || fail "kr44 from the PATH is not the installed $version"

# A fresh HOME: the unpacked copy (not installed: its share folder is not an XDG data folder)
# registers itself there; a start of the installed kr44 takes that away and writes nothing.
home=$work/home data=$work/home/.local/share
rm -rf "$home" "$work/run" && mkdir -p "$home" "$work/run" && chmod 700 "$work/run"
start() {
    env -i PATH="$PATH" HOME="$home" XDG_RUNTIME_DIR="$work/run" LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen \
        KR44_INSTANCE_NAME="package-$$" "$1" --virtual-unit >>"$work/run.log" 2>&1 &
    pid=$!
}
stop() { kill "$pid"; wait "$pid" 2>/dev/null || true; pid=""; }
until_() { # CONDITION WHAT: polls the condition for up to a minute
    for _ in $(seq 600); do eval "$1" && ! pgrep -P "$pid" >/dev/null && return; sleep 0.1; done
    find "$data" -type f; cat "$work/run.log"; fail "$2"
}
start "$bin/kr44"
until_ 'grep -q "^Exec=$bin/kr44 %f" "$data/applications/$id.desktop" 2>/dev/null && [ -f "$data/mime/mime.cache" ]' \
    "the unpacked kr44 registers itself under HOME"
stop
start /usr/bin/kr44
until_ '[ -z "$(find "$data" -type f)" ]' "the installed kr44 leaves files under $data"
stop

apt-get remove -y -qq kr44 >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get remove"; }
left=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print substr($6, 2) }' | while read -r f; do
    [ ! -e "$f" ] || echo "$f"; done)
[ -z "$left" ] && ! command -v kr44 >/dev/null || fail "left after apt-get remove: $left"
echo "package $deb: checked, installed, started and removed"
