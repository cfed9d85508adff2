#!/usr/bin/env bash
# Korvane's one set-up script.
#   scripts/setup.sh run    install what is missing, build, start on the demo data
#   scripts/setup.sh test   install what is missing, build, run every test
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build"
mode=${1:-run}

packages=(build-essential cmake ninja-build pkg-config git
    qt6-base-dev qt6-base-dev-tools libgl-dev libjpeg-dev
    libgtest-dev googletest clang libclang-rt-14-dev clang-format
    qstat xvfb xauth x11-utils xdotool imagemagick fonts-dejavu-core fonts-liberation2
    dpkg-dev file lintian appstream desktop-file-utils man-db)

install_packages() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure_and_build() {
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_WERROR=ON "$@"
    cmake --build "$build" -j "$(nproc)"
}

fleet_pid=""
xvfb_pid=""
cleanup() {
    if [ -n "$fleet_pid" ]; then kill "$fleet_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}

run_demo() {
    local demo app_pid status=0
    demo=$(mktemp -d "${TMPDIR:-/tmp}/korvane-demo.XXXXXX")
    cp -R "$top/data/demo/." "$demo/"
    chmod 600 "$demo/Passwords.txt"
    trap cleanup EXIT
    "$build/tools/korvane-fleet" --config "$top/data/demo/fleet.json" >"$demo/fleet.log" 2>&1 &
    fleet_pid=$!
    echo "Demo data folder: $demo (stand-in servers on 127.0.0.1:12203-12214, their GameSpy query"
    echo "ports on 12300-12311, a stand-in master on 127.0.0.1:28900 named in Masters.txt)"
    echo "Options, right-click the lists, \"import from master\": fills \"Internet AA\" from that master."

    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        (cd "$demo" && "$build/src/korvane") || status=$?
        return $status
    fi

    # No display: run under a virtual one and save a picture of the main window.
    local display=:$((90 + RANDOM % 400))
    Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    (cd "$demo" && DISPLAY=$display exec "$build/src/korvane") &
    app_pid=$!
    local window=""
    for _ in $(seq 100); do
        window=$(DISPLAY=$display xwininfo -root -tree 2>/dev/null | awk '/"Korvane 1.11"/ {print $1; exit}')
        [ -n "$window" ] && break
        sleep 0.1
    done
    sleep 1
    # Press "scan now " so the picture shows a scanned list, and give the
    # pass (a one-second time-out) time to end.
    if [ -n "$window" ]; then
        DISPLAY=$display xdotool mousemove --window "$window" 27 12 click 1 || true
        sleep 3
    fi
    local shot="$build/korvane-main-window.png"
    if [ -n "$window" ]; then
        DISPLAY=$display import -window "$window" "$shot"
    else
        DISPLAY=$display import -window root "$shot"
    fi
    local shots=("$shot")
    if [ -n "$window" ]; then
        demo_internet_list "$display" "$window" && shots+=("$build/korvane-import-window.png" "$build/korvane-internet-list.png")
    fi
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    echo "No display here: the program ran under Xvfb; screenshots saved to:"
    printf '%s\n' "${shots[@]}"
}

# Under Xvfb: "options", right-click the lists, "import from master", "import";
# then a double-click on the new "Internet AA" list selects and scans it.
# The windows sit where the program centres them (there is no window manager).
demo_internet_list() {
    local display=$1 window=$2 options import_window
    find_window() { DISPLAY=$display xwininfo -root -tree 2>/dev/null | awk -v t="\"$1\"" 'index($0, t) {print $1; exit}'; }
    DISPLAY=$display xdotool mousemove --window "$window" 357 12 click 1 || return 1
    sleep 1
    options=$(find_window "Options")
    [ -n "$options" ] || return 1
    # Right of the import window, which will open over the middle of Options.
    DISPLAY=$display xdotool mousemove --window "$options" 400 60 click 3 || return 1
    sleep 0.5
    DISPLAY=$display xdotool key Up Return || return 1
    sleep 1
    import_window=$(find_window "Import from master")
    [ -n "$import_window" ] || return 1
    DISPLAY=$display xdotool mousemove --window "$import_window" 216 18 click 1 || return 1
    # The silent demo server's query port keeps the import 3 s.
    sleep 5
    DISPLAY=$display import -window "$import_window" "$build/korvane-import-window.png" || return 1
    # Out of the way of the list's first row, "Internet AA".
    DISPLAY=$display xdotool windowunmap "$import_window" || return 1
    sleep 0.5
    DISPLAY=$display xdotool mousemove --window "$options" 300 26 click --repeat 2 --delay 80 1 || return 1
    sleep 3
    DISPLAY=$display import -window "$window" "$build/korvane-internet-list.png" || return 1
}

run_tests() {
    # Formatting is part of the build's quality bar.
    (cd "$top" && git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror)
    echo "Formatting: clean"
    "$top/scripts/fuzz.sh"
    # Every test once more with AddressSanitizer and UndefinedBehaviorSanitizer.
    cmake -S "$top" -B "$top/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKORVANE_SANITIZE=ON \
        -DKORVANE_WERROR=ON >/dev/null
    cmake --build "$top/build-asan" -j "$(nproc)"
    (cd "$top/build-asan" && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        ctest --output-on-failure -j "$(nproc)" --timeout 300)
    cd "$build"
    ctest --output-on-failure -j "$(nproc)" --timeout 300
    # The Debian package, checked as a player would install it.
    "$top/scripts/package-check.sh" "$build"
}

install_packages
case "$mode" in
run)
    configure_and_build
    run_demo
    ;;
test)
    configure_and_build
    run_tests
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
