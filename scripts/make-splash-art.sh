#!/usr/bin/env bash
# Regenerates resources/splash.bmp, the start-up picture.
#
# The picture is 431 x 331 pixels, 8 bits per pixel with a 256-entry
# palette (Windows BMP, version 3 header). A dark strip along the top edge
# carries the name at the left and the version at the right; the splash
# window draws its own progress bar at x 136..233, y 8..17 inside that
# strip, so that stretch is left plain.
#
# Needs ImageMagick 6 (convert, identify) and the Tahoma of Debian's
# fonts-wine package. Usage: scripts/make-splash-art.sh [output.bmp]

set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="${1:-$here/../resources/splash.bmp}"

font_dir="${VELMORA_FONT_DIR:-/usr/share/wine/fonts}"
regular="$font_dir/tahoma.ttf"
bold="$font_dir/tahomabd.ttf"
for f in "$regular" "$bold"; do
  [[ -r "$f" ]] || { echo "missing font: $f (install fonts-wine)" >&2; exit 1; }
done
command -v convert >/dev/null || { echo "ImageMagick's convert is needed" >&2; exit 1; }

width=431
height=331
strip=27          # rows 0..26 are the dark strip

# Colours.
ink='#1c2a3e'     # strip and headline
accent='#3a78b5'  # accent line, tick badge, tagline
soft='#8ba6c4'    # version text in the strip
muted='#5a6b80'   # secondary text
paper='#ffffff'
edge='#a8b8ca'    # page outlines
line='#c9d3de'    # "text" lines on the page

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# 1. Background: calm vertical gradient below the strip, strip on top.
convert -size "${width}x$((height - strip))" "gradient:#f6f9fc-#d3e0ee" "$work/grad.png"
convert -size "${width}x${height}" "xc:$ink" \
  "$work/grad.png" -geometry "+0+${strip}" -composite \
  -fill "$accent" -draw "rectangle 0,${strip} $((width - 1)),$((strip + 1))" \
  "$work/base.png"

# 2. The page motif: a back sheet, a front sheet with a folded corner, a
#    soft shadow under both, "readme" lines and a tick badge.
#    Front sheet: x 52..162, y 74..222; fold of 22 px at the top right.
px=52; py=74; pw=110; ph=148; fold=22
x2=$((px + pw)); y2=$((py + ph))

convert -size "${width}x${height}" xc:none \
  -fill 'rgba(20,40,70,0.30)' \
  -draw "rectangle $((px + 14)),$((py - 6)) $((x2 + 14)),$((y2 - 6))" \
  -draw "polygon $((px + 4)),$((py + 6)) $((x2 - fold + 4)),$((py + 6)) $((x2 + 4)),$((py + fold + 6)) $((x2 + 4)),$((y2 + 6)) $((px + 4)),$((y2 + 6))" \
  -channel A -blur 0x4 +channel \
  "$work/shadow.png"

page_lines=()
# A heading between two rules, the way a readme opens a section.
page_lines+=(-fill "$edge" -draw "rectangle $((px + 12)),$((py + 16)) $((x2 - fold - 6)),$((py + 17))")
page_lines+=(-fill "$ink"  -draw "rectangle $((px + 12)),$((py + 23)) $((px + 52)),$((py + 27))")
page_lines+=(-fill "$edge" -draw "rectangle $((px + 12)),$((py + 33)) $((x2 - 12)),$((py + 34))")
# Body lines of varying length, in two short paragraphs.
y=$((py + 46))
for len in 84 78 86 52 0 80 86 70 84 44 0 62 82; do
  if (( len > 0 )); then
    page_lines+=(-fill "$line" -draw "rectangle $((px + 12)),$y $((px + 12 + len)),$((y + 2))")
  fi
  y=$((y + 7))
done

convert "$work/base.png" \
  "$work/shadow.png" -composite \
  -stroke "$edge" -strokewidth 1 -fill '#e8eef5' \
  -draw "rectangle $((px + 10)),$((py - 10)) $((x2 + 10)),$((y2 - 10))" \
  -fill "$paper" \
  -draw "polygon $px,$py $((x2 - fold)),$py $x2,$((py + fold)) $x2,$y2 $px,$y2" \
  -fill '#dfe7f0' \
  -draw "polygon $((x2 - fold)),$py $((x2 - fold)),$((py + fold)) $x2,$((py + fold))" \
  -stroke none \
  "${page_lines[@]}" \
  "$work/page.png"

# Tick badge over the page's lower right corner.
bx=$((x2 - 4)); by=$((y2 - 8)); br=17
convert "$work/page.png" \
  -fill 'rgba(20,40,70,0.25)' -draw "circle $((bx + 2)),$((by + 3)) $((bx + 2 + br)),$((by + 3))" \
  -fill "$paper" -draw "circle $bx,$by $((bx + br + 2)),$by" \
  -fill "$accent" -draw "circle $bx,$by $((bx + br)),$by" \
  -fill none -stroke "$paper" -strokewidth 3.2 \
  -draw "stroke-linecap round stroke-linejoin round polyline $((bx - 8)),$((by + 1)) $((bx - 2)),$((by + 7)) $((bx + 8)),$((by - 6))" \
  "$work/art.png"

# 3. Text. Headline and tagline in the right half, the three steps along
#    the foot, name and version in the strip (clear of x 136..233). The
#    outlines of this Tahoma Bold are light at large sizes; a thin stroke in
#    the text's own colour gives them their proper weight.
tx=200
convert "$work/art.png" \
  -font "$bold" -pointsize 38 -fill "$ink" -stroke "$ink" -strokewidth 1.2 \
  -annotate "+${tx}+128" 'Velmora' -stroke none \
  -fill "$accent" -draw "rectangle $tx,142 $((tx + 40)),144" \
  -font "$regular" -pointsize 13 -fill "$muted" -annotate "+${tx}+168" 'The readme writer' \
  -annotate "+${tx}+185" 'for software authors' \
  -font "$bold" -pointsize 14 -fill "$accent" -stroke "$accent" -strokewidth 0.5 \
  -annotate "+${tx}+220" 'Readme files,' \
  -annotate "+${tx}+237" 'right the first time' -stroke none \
  -fill "$edge" -draw "rectangle 24,281 $((width - 25)),281" \
  -font "$regular" -pointsize 11 -fill "$muted" -gravity north \
  -annotate '+0+292' 'General Info   >   Program Info   >   Author   >   readme.txt' \
  +gravity \
  -font "$bold" -pointsize 17 -fill '#ffffff' -stroke '#ffffff' -strokewidth 0.7 \
  -annotate '+10+19' 'Velmora' -stroke none \
  -font "$regular" -pointsize 12 -fill "$soft" -gravity northeast -annotate '+12+7' 'Version 1.0' \
  "$work/full.png"

# The strip's text must stay clear of the progress bar's place.
convert "$work/full.png" -crop 100x12+134+7 +repage -format '%k' info: >"$work/bar-colours"
if [[ "$(cat "$work/bar-colours")" != "1" ]]; then
  echo "the progress bar's area of the strip is not plain" >&2
  exit 1
fi

# 4. 256-colour palette, uncompressed Windows BMP (version 3 header).
mkdir -p "$(dirname "$out")"
convert "$work/full.png" -alpha off -dither None -colors 256 -type Palette \
  -compress None "BMP3:$out"

# The header must say what the splash window expects: 431 x 331, 8 bits per
# pixel, no compression, and a full 256-entry palette before the pixels.
le() { od -An -t u"$2" -j "$1" -N "$2" "$out" | tr -d ' '; }
if [[ "$(le 18 4)x$(le 22 4)" != "${width}x${height}" || "$(le 28 2)" != 8 \
      || "$(le 30 4)" != 0 || "$(le 10 4)" != $((14 + 40 + 256 * 4)) ]]; then
  echo "unexpected BMP header in $out" >&2
  exit 1
fi

identify -format '%f: %wx%h, %[type], %z-bit, %k colours\n' "$out"
