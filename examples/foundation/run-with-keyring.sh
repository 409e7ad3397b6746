#!/bin/sh
# Runs a program with a throw-away home folder and an unlocked keyring on a
# session bus of its own: dbus-run-session -- run-with-keyring.sh <program>.
# The keyring daemon ends with the session bus when the program returns.
set -eu
HOME=$(mktemp -d)
XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_RUNTIME_DIR="$HOME"
export HOME XDG_CONFIG_HOME XDG_DATA_HOME XDG_RUNTIME_DIR
trap 'rm -rf "$HOME"' EXIT
printf 'example-password' | gnome-keyring-daemon --unlock --components=secrets >/dev/null
"$@"
