#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree and checks it as
# a player would get it: lintian without errors, the control fields, the
# desktop entry, the AppStream metadata and the manual pages, and the
# installed korvane-scan scanning the demo fleet on 127.0.0.1.
#   scripts/package-check.sh [BUILD_DIR]   (default: build)
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)

scratch=$(mktemp -d "${TMPDIR:-/tmp}/korvane-package.XXXXXX")
fleet_pid=""
cleanup() {
    if [ -n "$fleet_pid" ]; then
        kill "$fleet_pid" 2>/dev/null || true
        wait "$fleet_pid" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
    echo "package-check: $*" >&2
    exit 1
}

# The package.
rm -f "$build"/package/*.deb
(cd "$build" && cpack -G DEB -B "$build/package" >"$scratch/cpack.log") || {
    cat "$scratch/cpack.log" >&2
    fail "cpack failed"
}
debs=("$build"/package/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, found: ${debs[*]}"
deb=${debs[0]}
field() { dpkg-deb -f "$deb" "$1"; }
expected="korvane_$(field Version)_$(dpkg --print-architecture).deb"
[ "$(basename "$deb")" = "$expected" ] || fail "$(basename "$deb") is not named $expected"
[[ $(field Version) == *-* ]] || fail "version $(field Version) has no Debian revision"
echo "Package: $deb"

# Depends comes from dpkg-shlibdeps, so it names the Qt libraries the
# binaries link; wine is only recommended; qstat is for tests and benchmarks.
[[ $(field Depends) == *libqt6widgets6* ]] || fail "Depends lacks the Qt libraries: $(field Depends)"
[ "$(field Recommends)" = wine ] || fail "Recommends is '$(field Recommends)', not wine"
if dpkg-deb -f "$deb" | grep -qi qstat; then fail "the control fields name qstat"; fi
echo "Depends: $(field Depends)"
echo "Recommends: $(field Recommends)"

# Lintian: warnings are shown, errors fail.
lintian --fail-on error "$deb" || fail "lintian reports errors"
echo "lintian: no errors"

# The files as installed.
root="$scratch/root"
dpkg -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/korvane.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml || fail "AppStream metadata"
for page in korvane korvane-scan; do
    file="$root/usr/share/man/man1/$page.1.gz"
    warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$file" 2>&1 >/dev/null) || fail "man cannot render $page(1)"
    [ -z "$warnings" ] || fail "$page(1): $warnings"
    MANWIDTH=80 man -l "$file" 2>/dev/null | grep -q "^NAME" || fail "$page(1) renders empty"
done
echo "desktop entry, AppStream metadata and manual pages: valid"
scan="$root/usr/bin/korvane-scan"
version=$("$scan" --version | head -n 1)
[ "$version" = "korvane-scan (Korvane) $(field Version | sed 's/-[^-]*$//')" ] || fail "--version says '$version'"

# The installed scanner against the twelve demo servers.
"$build/tools/korvane-fleet" --config "$top/data/demo/fleet.json" >"$scratch/fleet.out" 2>"$scratch/fleet.err" &
fleet_pid=$!
for _ in $(seq 100); do
    grep -qx ready "$scratch/fleet.out" && break
    kill -0 "$fleet_pid" 2>/dev/null || fail "the demo fleet did not start: $(cat "$scratch/fleet.err")"
    sleep 0.1
done
grep -qx ready "$scratch/fleet.out" || fail "the demo fleet is not ready"
demo="$scratch/demo"
cp -R "$top/data/demo/." "$demo/"
status=0
(cd "$demo" && "$scan") >"$scratch/scan.out" 2>"$scratch/scan.err" || status=$?
[ "$status" -eq 0 ] || fail "korvane-scan exited $status: $(cat "$scratch/scan.err")"
servers=$(awk -F '\t' 'NF == 5 && $1 != "buddy"' "$scratch/scan.out" | wc -l)
[ "$servers" -eq 12 ] || fail "korvane-scan printed $servers server lines, not 12: $(cat "$scratch/scan.out")"
echo "Installed korvane-scan on the demo fleet: $servers servers, $(tail -n 1 "$scratch/scan.out")"
# The demo's Masters.txt names the fleet's stand-in master: 11 Allied Assault
# servers listed, one of them silent on its query port.
status=0
(cd "$demo" && "$scan" --master mohaa) >"$scratch/master.out" 2>"$scratch/master.err" || status=$?
[ "$status" -eq 0 ] || fail "korvane-scan --master exited $status: $(cat "$scratch/master.err")"
listed=$(awk -F '\t' 'NF == 2' "$scratch/master.out" | wc -l)
[ "$listed" -eq 10 ] && grep -qx "$(printf 'master\t127.0.0.1:28900\t11 servers')" "$scratch/master.out" ||
    fail "korvane-scan --master printed: $(cat "$scratch/master.out")"
echo "Installed korvane-scan --master on the demo's stand-in master: $listed servers"
echo "Package check: ok"
