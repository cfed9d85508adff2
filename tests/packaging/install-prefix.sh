#!/bin/sh
# Installs the build to a scratch prefix and starts the korvane launcher from
# there with a scratch XDG_DATA_HOME: the data folder must be seeded from the
# prefix's default data, the password file must be the user's alone, and a
# file the user already has must stay as it is.
#   install-prefix.sh CMAKE BUILD_DIR
set -eu
cmake=$1
build=$2

scratch=$(mktemp -d "${TMPDIR:-/tmp}/korvane-prefix.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
prefix="$scratch/some where/prefix"
home="$scratch/home"
mkdir -p "$home"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$cmake" --install "$build" --prefix "$prefix" >"$scratch/install.log" ||
    fail "cmake --install: $(cat "$scratch/install.log")"
for f in bin/korvane bin/korvane-scan libexec/korvane/korvane share/korvane/data/Passwords.txt \
    share/applications/korvane.desktop share/metainfo/io.sourceforge.korvane.metainfo.xml \
    share/icons/hicolor/256x256/apps/korvane.png share/man/man1/korvane.1.gz share/man/man1/korvane-scan.1.gz; do
    [ -e "$prefix/$f" ] || fail "$f is not installed"
done
if grep -q /usr/local "$prefix/bin/korvane"; then fail "the launcher names /usr/local"; fi

# The real program, on no display; it is still running when the time-out ends it.
data="$scratch/xdg/korvane"
mkdir -p "$data/Serverlists"
printf 'bob\r\n' >"$data/Buddys.txt"
printf 'my list\r\n' >"$data/Serverlists/Standard"
status=0
(cd "$scratch" && HOME="$home" XDG_DATA_HOME="$scratch/xdg" QT_QPA_PLATFORM=offscreen \
    timeout 5 "$prefix/bin/korvane") >"$scratch/run.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || fail "the program ended with status $status: $(cat "$scratch/run.log")"

for f in Config Passwords.txt clantags.txt Buddys.txt Serverlists/Standard; do
    [ -f "$data/$f" ] || fail "$f was not seeded"
done
cmp -s "$data/Config" "$prefix/share/korvane/data/Config" || fail "Config differs from the default"
[ "$(stat -c %a "$data/Passwords.txt")" = 600 ] || fail "Passwords.txt is mode $(stat -c %a "$data/Passwords.txt")"
[ "$(cat "$data/Buddys.txt")" = "$(printf 'bob\r')" ] || fail "Buddys.txt was overwritten"
[ "$(cat "$data/Serverlists/Standard")" = "$(printf 'my list\r')" ] || fail "the Standard list was overwritten"

# A stand-in program shows where and how the launcher starts it; the launcher
# is started through a symlink, with XDG_DATA_HOME unset, and a second time
# once the user has changed the password file.
cat >"$prefix/libexec/korvane/korvane" <<'STUB'
#!/bin/sh
pwd
printf '%s\n' "$@"
STUB
chmod 755 "$prefix/libexec/korvane/korvane"
mkdir -p "$scratch/elsewhere"
ln -s "$prefix/bin/korvane" "$scratch/elsewhere/korvane"
out=$(cd / && env -u XDG_DATA_HOME HOME="$home" "$scratch/elsewhere/korvane" one "two words") ||
    fail "the launcher failed through a symlink"
[ "$out" = "$(printf '%s\n' "$home/.local/share/korvane" one "two words")" ] || fail "unexpected start: $out"
[ "$(stat -c %a "$home/.local/share/korvane/Passwords.txt")" = 600 ] || fail "Passwords.txt is not mode 600"
echo "secret" >>"$home/.local/share/korvane/Passwords.txt"
before=$(cat "$home/.local/share/korvane/Passwords.txt")
env -u XDG_DATA_HOME HOME="$home" "$prefix/bin/korvane" >/dev/null || fail "the second start failed"
[ "$(cat "$home/.local/share/korvane/Passwords.txt")" = "$before" ] || fail "Passwords.txt was overwritten"

# Without its program the launcher says so instead of starting something else.
rm "$prefix/libexec/korvane/korvane"
if XDG_DATA_HOME="$scratch/xdg" "$prefix/bin/korvane" 2>"$scratch/err.log"; then
    fail "the launcher succeeded without its program"
fi
grep -q "incomplete installation" "$scratch/err.log" || fail "no hint: $(cat "$scratch/err.log")"
echo "install to $prefix: ok"
