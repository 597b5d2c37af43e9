#!/bin/sh
# Installs the Debian packages named as arguments that are not installed yet. Runs apt only when needed.
# A package of another architecture (wine32:i386) first adds that architecture to dpkg. The word native-build stands
# for what every native build needs: the compiler and CMake, and the libraries salvage inflates, writes PNG pictures
# and converts colours with.
set -eu
native_build="cmake make g++ pkg-config zlib1g-dev libspng-dev liblcms2-dev"
missing=""
# shellcheck disable=SC2068
for package in $(for word in "$@"; do [ "$word" = native-build ] && echo $native_build || echo "$word"; done); do
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
