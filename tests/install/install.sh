#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop sees
# there: the files in their places, the desktop entries, software centre
# descriptions and MIME description valid (with each checker that is
# present), the player as the default application for test files, and the
# installed player starting on the installed example test.
# Usage: install.sh BUILD-FOLDER [CMAKE]
set -euo pipefail

build=$1
cmake=${2:-cmake}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

share=$prefix/share
player=org.corvella.Corvella
builder=org.corvella.CorvellaBuilder
expected=(
  bin/corvview bin/corvtool libexec/corvella/corvmetafilehelper
  share/corvella/help_eng.hlp
  share/corvella/examples/Demo.cvl share/corvella/examples/chime.wav
  share/applications/$player.desktop share/applications/$builder.desktop
  share/metainfo/$player.metainfo.xml share/metainfo/$builder.metainfo.xml
  share/mime/packages/corvella.xml
  share/icons/hicolor/scalable/apps/$player.svg
  share/icons/hicolor/scalable/apps/$builder.svg
  share/icons/hicolor/scalable/mimetypes/application-x-corvella-test.svg
  share/icons/hicolor/scalable/mimetypes/application-x-corvella-page.svg
)
if [ -e "$build/corvbld" ]; then
  expected+=(bin/corvbld)
fi
if [ -d "$build/templates" ]; then
  for template in "$build"/templates/*.cvp; do
    expected+=("share/corvella/templates/$(basename "$template")")
  done
fi
for file in "${expected[@]}"; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
[ -x "$prefix/bin/corvview" ] || fail "corvview is not executable"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$share"/applications/*.desktop || fail "desktop entries"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$share"/metainfo/*.metainfo.xml >/dev/null \
    || fail "metainfo: $(appstreamcli validate --no-net "$share"/metainfo/*.metainfo.xml)"
fi
if command -v xmllint >/dev/null; then
  xmllint --noout "$share"/mime/packages/corvella.xml "$share"/icons/hicolor/scalable/*/*.svg \
    || fail "XML files"
fi

# The default application: with no mimeapps.list anywhere, the first entry of
# mimeinfo.cache, which lists the entries sorted by their ids.
if command -v update-desktop-database >/dev/null; then
  update-desktop-database "$share/applications"
  line=$(grep '^application/x-corvella-test=' "$share/applications/mimeinfo.cache") \
    || fail "no test file entry in mimeinfo.cache"
  [ "$line" = "application/x-corvella-test=$player.desktop;$builder.desktop;" ] \
    || fail "mimeinfo.cache: $line"
  if command -v xdg-mime >/dev/null; then
    empty=$prefix/empty
    mkdir -p "$empty"
    default=$(env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION \
      -u GNOME_DESKTOP_SESSION_ID -u XDG_MENU_PREFIX HOME="$empty" \
      XDG_CONFIG_HOME="$empty" XDG_CONFIG_DIRS="$empty" XDG_DATA_HOME="$empty" \
      XDG_DATA_DIRS="$share" xdg-mime query default application/x-corvella-test)
    [ "$default" = "$player.desktop" ] || fail "xdg-mime query default: '$default'"
  fi
fi
if command -v update-mime-database >/dev/null; then
  update-mime-database "$share/mime" 2>/dev/null || fail "update-mime-database"
  grep -q '^application/x-corvella-test$' "$share/mime/types" || fail "mime types"
fi

# The installed player, on the installed example, started with nothing of
# the build folder in reach: it must show the example's first page, painted.
first=$("$prefix/bin/corvtool" info "$share/corvella/examples/Demo.cvl" \
  | sed -n 's/^  1\. \("[^"]*"\).*/\1/p')
[ -n "$first" ] || fail "corvtool info names no first page of the installed example"
pages=$("$prefix/bin/corvtool" info "$share/corvella/examples/Demo.cvl" | sed -n 's/^Pages: //p')
shown=$(cd "$prefix" && QT_QPA_PLATFORM=offscreen CORVELLA_RESULTS="$prefix/results" \
  CORVELLA_QUIT_WHEN_SHOWN=1 CORVELLA_SHOWN_IMAGE="$prefix/shown.png" \
  timeout 60 "$prefix/bin/corvview" "$share/corvella/examples/Demo.cvl") \
  || fail "the installed player did not start on the installed example (exit $?)"
[ "$shown" = "shown: page 1 of $pages $first" ] \
  || fail "the installed player showed '$shown', not the example's first page $first"
[ -s "$prefix/shown.png" ] || fail "the installed player's window was not painted"
if command -v file >/dev/null; then
  file "$prefix/shown.png" | grep -qE 'PNG image data, [1-9][0-9]* x [1-9][0-9]*' \
    || fail "the picture of the player's window: $(file "$prefix/shown.png")"
fi

echo "installed and started from $prefix"
