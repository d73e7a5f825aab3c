#!/usr/bin/env bash
# The Windows metafile reader draws nothing without the URW base 35 fonts.
# With their folder hidden (a private mount namespace laid over it), the
# example's metafile must be reported as a missing installation that names
# the package to install, not as a damaged picture; with the fonts there it
# must draw. Skips (77) where no private mount namespace can be made (in a
# chroot, say): a mount made without private propagation could reach the
# machine's own mounts.
# Usage: fonts.sh CORVTOOL EXAMPLE
set -uo pipefail
corvtool=$1
example=$2
fonts=/usr/share/fonts/type1/urw-base35
expected="the Windows metafile cannot be drawn: the metafile fonts are not installed (install the Debian package fonts-urw-base35)"

[ -d "$fonts" ] || { echo "FAIL: $fonts is not installed"; exit 1; }
"$corvtool" check "$example" || { echo "FAIL: the example does not load with the fonts there"; exit 1; }

empty=$(mktemp -d)
trap 'rmdir "$empty"' EXIT
namespace=(unshare --mount --propagation private)
[ "$(id -u)" -eq 0 ] || namespace+=(--map-root-user)
"${namespace[@]}" true 2>/dev/null || { echo "SKIP: no private mount namespace here"; exit 77; }

out=$("${namespace[@]}" bash -c 'mount --bind "$1" "$2" || exit 77; shift 2; "$@"' \
  hide "$empty" "$fonts" "$corvtool" check "$example")
status=$?
[ $status -ne 77 ] || { echo "SKIP: the font folder cannot be hidden here"; exit 77; }
echo "$out"
[ $status -eq 1 ] || { echo "FAIL: corvtool check exited with $status"; exit 1; }
grep -qF "the picture cannot be read: $expected" <<<"$out" \
  || { echo "FAIL: the missing fonts are not named"; exit 1; }
