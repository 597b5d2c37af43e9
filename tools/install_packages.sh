#!/bin/sh
# Installs the Debian packages named as arguments that are not installed yet. Runs apt only when needed.
# A package of another architecture (wine32:i386) first adds that architecture to dpkg.
set -eu
missing=""
for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
for package in $missing; do
    case "$package" in
    *:*)
        architecture=${package#*:}
        if [ "$architecture" != "$(dpkg --print-architecture)" ] &&
            ! dpkg --print-foreign-architectures | grep -qx "$architecture"; then
            $sudo dpkg --add-architecture "$architecture"
        fi
        ;;
    esac
done
echo "Installing:$missing"
$sudo apt-get update -q
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
