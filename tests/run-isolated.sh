#!/usr/bin/env bash
# Runs one test program as if on a fresh account: its own HOME and XDG
# folders, a private runtime folder, no session bus and no desktop session,
# so that results never depend on the desktop the tests are run from.
# QT_QPA_PLATFORM is kept (offscreen unless a platform run sets another), and
# so is a display server the caller started (DISPLAY, WAYLAND_DISPLAY).
set -euo pipefail
home=$(mktemp -d "${TMPDIR:-/tmp}/lunvex-test.XXXXXX")
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/config" "$home/cache" "$home/data" "$home/state"
mkdir -m 700 "$home/run"

# A Wayland socket is found in the caller's runtime folder: name it whole.
wayland=${WAYLAND_DISPLAY:-}
if [ -n "$wayland" ] && [ "${wayland#/}" = "$wayland" ]; then
    wayland=${XDG_RUNTIME_DIR:-/nonexistent}/$wayland
fi

keep=(PATH LANG LC_ALL TZ TMPDIR DISPLAY XAUTHORITY QT_SCALE_FACTOR QT_QPA_PLATFORMTHEME
      GTK_THEME ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS)
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
    QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" \
    "$@" || status=$?
exit "$status"
