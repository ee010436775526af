#!/usr/bin/env bash
# Installs a built tree into a temporary prefix and checks what a desktop reads from it:
# scripts/check-install.sh BUILD_DIR
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
id=org.tomekeep.Tomekeep
share="$prefix/share"
expected=(
    "$prefix/bin/tomekeep"
    "$share/applications/$id.desktop"
    "$share/metainfo/$id.metainfo.xml"
    "$share/icons/hicolor/scalable/apps/$id.svg"
    "$share/man/man1/tomekeep.1"
)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("$share/icons/hicolor/${size}x${size}/apps/$id.png")
done
for file in "${expected[@]}"; do
    [ -s "$file" ] || { echo "not installed: ${file#"$prefix"/}" >&2; exit 1; }
done
desktop-file-validate "$share/applications/$id.desktop"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml"
man --warnings -l "$share/man/man1/tomekeep.1" >/dev/null
QT_QPA_PLATFORM=offscreen "$prefix/bin/tomekeep" --help | grep -q -- '--version'
echo "install into a temporary prefix: every file in place and valid"
