#!/usr/bin/env bash
# The desktop entry and the AppStream metadata as cmake --install puts them: both pass
# their validators, and the metadata launches the desktop file installed beside it.
set -euo pipefail
build=$1
for tool in appstreamcli desktop-file-validate; do
  command -v "$tool" >/dev/null || { echo "desktop metadata test: $tool is missing (scripts/setup installs it)"; exit 1; }
done
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" --component desktop >/dev/null
metainfo=("$prefix"/share/metainfo/*.metainfo.xml)
[ ${#metainfo[@]} -eq 1 ] && [ -f "${metainfo[0]}" ] || { echo "desktop metadata test: expected one metainfo file"; exit 1; }
id=$(basename "${metainfo[0]}" .metainfo.xml)
desktop="$prefix/share/applications/$id.desktop"
[ -f "$desktop" ] || { echo "desktop metadata test: $id.metainfo.xml has no $id.desktop beside it"; exit 1; }
grep -q "<id>$id</id>" "${metainfo[0]}" || { echo "desktop metadata test: the component id is not $id"; exit 1; }
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "${metainfo[0]}" ||
  { echo "desktop metadata test: the metadata does not launch $id.desktop"; exit 1; }
appstreamcli validate --no-net "${metainfo[0]}"
desktop-file-validate "$desktop"
