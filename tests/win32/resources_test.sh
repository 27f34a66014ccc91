#!/usr/bin/env bash
# Reads the resources of the built program back with the MinGW-w64 tools: its manifest
# (themed dialogs, DPI awareness, long paths, supported Windows versions, no elevation),
# its icon in every size from 16 to 256 pixels and its version information; in a Release
# build also that it carries no debug sections.
#
#   resources_test.sh PROGRAM.exe VERSION BUILD_TYPE OBJDUMP WINDRES
set -euo pipefail

if [ $# -ne 5 ]; then
    echo "usage: $0 PROGRAM.exe VERSION BUILD_TYPE OBJDUMP WINDRES" >&2
    exit 2
fi
program=$1 version=$2 build_type=$3 objdump=$4 windres=$5
resources=$("$windres" -i "$program" -O rc)
sections=$("$objdump" -h "$program")

failures=0
expect() {
    local what=$1 pattern=$2 text=$3
    if grep -qF -- "$pattern" <<<"$text"; then
        echo "ok: $what"
    else
        echo "FAIL: $what: '$pattern' not found" >&2
        failures=$((failures + 1))
    fi
}

manifest=$(awk '/RT_MANIFEST/ { on = 1 } on { print } on && /^END/ { exit }' <<<"$resources" |
    sed -e 's/^ *"//; s/\\n"$//; s/""/"/g')
expect "manifest present" '<assembly xmlns="urn:schemas-microsoft-com:asm.v1"' "$manifest"
expect "Common Controls 6" 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' "$manifest"
expect "per-monitor DPI awareness v2, system-aware fallback" '>PerMonitorV2, System</dpiAwareness>' "$manifest"
expect "system DPI awareness on older systems" '>true</dpiAware>' "$manifest"
expect "long paths" '>true</longPathAware>' "$manifest"
expect "runs as the user who starts it" '<requestedExecutionLevel level="asInvoker"' "$manifest"
expect "Windows 10 and 11 supported" '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}' "$manifest"
expect "Windows 8.1 supported" '{1f676c76-80e1-4239-95bb-83d0f6d0da78}' "$manifest"
expect "manifest version" "version=\"$version.0\"" "$manifest"

# The icon group lists width and height of each image as octal escapes; 256 is stored as 0.
icons=$(awk '/RT_GROUP_ICON/ { on = 1 } on { print } on && /^END/ { exit }' <<<"$resources")
for size in 16 24 32 48 64 128 256; do
    code=$(printf '\\%03o' $((size % 256)))
    expect "icon of $size pixels" "\"$code$code\\000\\000\", 1, 32," "$icons"
done

commas=${version//./, }
expect "file version" "FILEVERSION $commas, 0" "$resources"
expect "product version" "PRODUCTVERSION $commas, 0" "$resources"
expect "description" 'VALUE "FileDescription", "Datensicherung"' "$resources"
expect "version text" "VALUE \"FileVersion\", \"$version\"" "$resources"
expect "file name" 'VALUE "OriginalFilename", "datensicherung.exe"' "$resources"

if [ "$build_type" = Release ] || [ "$build_type" = MinSizeRel ]; then
    if grep -q ' \.debug' <<<"$sections"; then
        echo "FAIL: debug sections in a $build_type build" >&2
        failures=$((failures + 1))
    else
        echo "ok: no debug sections"
    fi
fi

if [ "$failures" -ne 0 ]; then
    exit 1
fi
