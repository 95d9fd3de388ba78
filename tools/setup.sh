# Shared by tools/run and tools/test: installs the Debian packages Korvex needs (only
# those missing, so a second run does nothing) and builds the tree in build/.
# Sourced, not run.

KORVEX_PACKAGES="cmake ninja-build g++ pkg-config qt6-base-dev libgtest-dev libgmock-dev libzip-dev poppler-utils"
# The Trash test restores items with GLib's trash (gio, gvfs, under dbus-run-session).
KORVEX_PACKAGES="$KORVEX_PACKAGES libglib2.0-bin gvfs dbus"
# Wine itself is optional: Korvex reads and writes prefixes without it. With
# KORVEX_WITH_WINE=1 it is installed too, so the tests against a real wineserver run
# instead of being skipped, and the Tools menu can start the machine's programs.
if [ "${KORVEX_WITH_WINE:-0}" = 1 ]; then
    KORVEX_PACKAGES="$KORVEX_PACKAGES wine wine64"
fi

korvex_missing_packages() {
    missing=""
    for p in $KORVEX_PACKAGES; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing="$missing $p"
        fi
    done
    echo $missing
}

korvex_install_packages() {
    missing=$(korvex_missing_packages)
    [ -z "$missing" ] && return 0
    echo "Installing missing packages: $missing"
    if [ "$(id -u)" -eq 0 ]; then
        sudo=""
    elif command -v sudo >/dev/null 2>&1; then
        sudo="sudo"
    else
        echo "These Debian packages are missing: $missing" >&2
        echo "Install them as root (apt-get install $missing) and run this again." >&2
        exit 1
    fi
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
}

korvex_build() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build -j "$(nproc 2>/dev/null || echo 2)"
}
