#!/bin/sh
# Re-renders images/*.png and images/logo.ico from the SVG sources in svg/.
# The build only compiles the committed PNGs, so run this after editing an SVG
# and commit both.  Needs rsvg-convert (librsvg2-bin) and python3.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
src="$here/svg"
out="$here/images"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"

grey='#45464a'
white='#ffffff'

# Each SVG is rendered at its own size: 64 x 64 for icons, 128 x 128 for the
# instrument picture, 320 x 64 for the product mark.
for f in "$src"/*.svg; do
    name=$(basename "$f" .svg)
    [ "$name" = logo ] && continue
    rsvg-convert -o "$out/$name.png" "$f"
done

# Single-colour icons paint with currentColor from the root's color attribute,
# so a white variant is the grey source with that one attribute changed.
recolour() { # <source name> <target name>
    sed "s/color=\"$grey\"/color=\"$white\"/" "$src/$1.svg" >"$tmp/$2.svg"
    grep -q "color=\"$white\"" "$tmp/$2.svg" || { echo "$1.svg has no grey root colour" >&2; exit 1; }
    rsvg-convert -o "$out/$2.png" "$tmp/$2.svg"
}

recolour ic_dif_mr3x ic_dif_dj3x
for m in dev unit tc_type tc_offset limit time pdf backup guide lang graph; do
    recolour "ic_menu_$m" "ic_menu_${m}_w"
done

# Application icon: one ICO holding PNG-compressed 16, 32, 48 and 256 px images.
for s in 16 32 48 256; do
    rsvg-convert -w $s -h $s -o "$tmp/logo_$s.png" "$src/logo.svg"
done
python3 - "$out/logo.ico" "$tmp"/logo_16.png "$tmp"/logo_32.png "$tmp"/logo_48.png "$tmp"/logo_256.png <<'PY'
import struct, sys
target, sources = sys.argv[1], sys.argv[2:]
blobs = [open(p, "rb").read() for p in sources]
# ICONDIR (reserved, type 1 = icon, count), then one 16-byte ICONDIRENTRY per
# image, then the image data. Width/height bytes hold 0 for 256.
offset = 6 + 16 * len(blobs)
header = struct.pack("<HHH", 0, 1, len(blobs))
entries = b""
for blob in blobs:
    w, h = struct.unpack(">II", blob[16:24])  # from the PNG IHDR chunk
    entries += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
    offset += len(blob)
with open(target, "wb") as f:
    f.write(header + entries + b"".join(blobs))
PY

echo "rendered into $out"
