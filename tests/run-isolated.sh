#!/usr/bin/env bash
# Runs one test program as if on a fresh account: its own HOME and XDG
# folders, a private runtime folder, no session bus and no desktop session,
# so that results never depend on the desktop the tests are run from.
# The platform is offscreen unless a run on a real display server names
# another (LUNVEX_TEST_PLATFORM, or QT_QPA_PLATFORM); only such a run keeps the
# display, platform theme and scaling it was started with. A headless run
# must not reach the desktop: a theme such as gtk3 would open its display.
set -euo pipefail
home=$(mktemp -d "${TMPDIR:-/tmp}/lunvex-test.XXXXXX")
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/config" "$home/cache" "$home/data" "$home/state"
mkdir -m 700 "$home/run"

platform=${LUNVEX_TEST_PLATFORM:-${QT_QPA_PLATFORM:-offscreen}}
keep=(PATH LANG LC_ALL TZ TMPDIR ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS LUNVEX_SCREENSHOT_DIR)
wayland=
if [ "${platform%%:*}" != offscreen ]; then
    keep+=(LUNVEX_TEST_PLATFORM DISPLAY XAUTHORITY QT_SCALE_FACTOR QT_QPA_PLATFORMTHEME GTK_THEME
           QT_IM_MODULE)
    # A Wayland socket is found in the caller's runtime folder: name it whole.
    wayland=${WAYLAND_DISPLAY:-}
    if [ -n "$wayland" ] && [ "${wayland#/}" = "$wayland" ]; then
        wayland=${XDG_RUNTIME_DIR:-/nonexistent}/$wayland
    fi
fi
args=()
for name in "${keep[@]}"; do
    if [ -n "${!name+set}" ]; then args+=("$name=${!name}"); fi
done
if [ -n "$wayland" ]; then args+=("WAYLAND_DISPLAY=$wayland"); fi
status=0
env -i "${args[@]}" \
    HOME="$home" USER="$(id -un)" \
    XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" XDG_DATA_HOME="$home/data" \
    XDG_STATE_HOME="$home/state" XDG_RUNTIME_DIR="$home/run" \
    QT_QPA_PLATFORM="$platform" \
    "$@" || status=$?
exit "$status"
