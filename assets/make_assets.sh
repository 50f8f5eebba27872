#!/usr/bin/env bash
# Draws the program's pictures with ImageMagick and writes them next to this
# script:
#
#   title.gif     the title card shown in the main window before the test
#                 starts: 716 x 253 px, GIF89a, one frame, 256-entry global
#                 palette, not interlaced, no transparency.  The window shows
#                 only its top-left 697 x 249 px, so the text is centred on
#                 that part and keeps clear of the clipped right/bottom strip.
#   icon48.png    the 48 x 48 window icon, 8-bit indexed PNG.
#   icon256.png   the same drawing rendered at 256 x 256 for desktop menus.
#   infotest.ico  Windows icon: the 48 x 48 image at 8 bits per pixel with a
#                 256-entry colour table, plus a 256 x 256 entry for Explorer.
#
# The outputs are committed, so building the program needs no ImageMagick;
# run this script only after changing a picture.  Timestamps and other
# metadata are left out, so re-running it reproduces the same bytes.
#
# Needs: ImageMagick 6 (convert, identify), fontconfig (fc-match, fc-query),
# Liberation Sans 2 (fonts-liberation2 on Debian 12, fonts-liberation on
# Debian 13), awk, od.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

fail() { echo "make_assets.sh: $*" >&2; exit 1; }

# The file of a Liberation Sans 2 style, found with fontconfig: Debian has
# moved the fonts between packages and folders. fc-match answers with
# another family when the one asked for is missing, so the answer is checked.
liberation_sans() {
    local style=$1 file found revision
    file=$(fc-match -f '%{file}' "Liberation Sans:style=$style")
    found=$(fc-query -f '%{family[0]}|%{style[0]}|%{fontversion}' "$file")
    # fontconfig gives the font's revision in 16.16 fixed point.
    revision=${found##*|}
    if [[ $found != "Liberation Sans|$style|"* ]] || (( revision < 2 * 65536 )); then
        fail "need Liberation Sans 2 $style, found $(tr "|" " " <<<"${found%|*}") version" \
            "$((revision / 65536)).$(((revision % 65536) * 100 / 65536)) in $file" \
            "(install fonts-liberation2 on Debian 12, fonts-liberation on Debian 13)"
    fi
    echo "$file"
}
italic=$(liberation_sans Italic)
bold_italic=$(liberation_sans 'Bold Italic')
bold=$(liberation_sans Bold)

# The program's palette.
light='#C0FFC0'   # window background
green='#80FF80'
dark='#004000'    # text

# PNG chunks that would make the bytes differ between runs.
png_plain=(-strip -define png:exclude-chunks=date,time -define png:bit-depth=8)

# --- Title card ------------------------------------------------------------
# Lines are placed with gravity North on the visible 697 x 249 area; the
# vertical offsets give about 19 px of margin above and below the ink.  The
# canvas is then extended to the full 716 x 253 in the background colour.
title=$here/title.gif
convert -size 697x249 "xc:$light" -fill "$dark" -gravity north \
    -font "$bold_italic" -pointsize 62 -annotate +0+6   'Информатика' \
    -font "$italic"      -pointsize 40 -annotate +0+84  '9 класс' \
                                       -annotate +0+134 'Тест № 1' \
                         -pointsize 34 -annotate +0+192 'Информация. Измерение информации' \
    -gravity northwest -background "$light" -extent 716x253 \
    -alpha off +dither -colors 256 -interlace none -strip \
    +set date:create +set date:modify \
    "GIF:$title"

# Anti-aliased text yields far more than 128 shades, so the quantiser fills
# all 256 palette entries; check it, since a 128-entry table would be
# written silently if the drawing ever became simpler.
[[ $(identify -format '%n %w %h' "$title") == '1 716 253' ]] \
    || fail "title.gif: expected one 716 x 253 frame"
[[ $(head -c 6 "$title") == GIF89a ]] || fail "title.gif: not GIF89a"
# Byte 10 of the screen descriptor: global table flag and size exponent.
flags=$(od -An -tu1 -j10 -N1 "$title" | tr -d ' ')
(( (flags & 0x80) && (flags & 7) == 7 )) \
    || fail "title.gif: global palette is not 256 entries (flags $flags)"
[[ $(convert "$title" -format '%[pixel:p{0,0}]' info:) == 'srgb(192,255,192)' ]] \
    || fail "title.gif: background is not $light"

# --- Icon --------------------------------------------------------------------
# One drawing on a 48-unit grid: a green rounded square with a dark border,
# the word "бит" (the unit the test is about) and a check mark below it.
# Each size is rendered from the drawing itself, not by resampling another
# size.  In ImageMagick a pixel's centre sits at integer coordinates, so the
# grid maps to a size-s canvas as x -> (x + 0.5) * s/48 - 0.5.
render_icon() {
    local size=$1 out=$2 k t
    k=$(awk -v s="$size" 'BEGIN { printf "%.6f", s / 48 }')
    t=$(awk -v s="$size" 'BEGIN { printf "%.6f", (s / 48 - 1) / 2 }')
    len() { awk -v v="$1" -v k="$k" 'BEGIN { printf "%.3f", v * k }'; }
    convert -size "${size}x${size}" xc:none \
        -draw "translate $t,$t scale $k,$k
               fill '$green' stroke '$dark' stroke-width 2
               roundrectangle 2,2 45,45 9,9" \
        -fill "$dark" -stroke none -font "$bold" -pointsize "$(len 17)" \
        -gravity north -annotate "+0+$(len 5)" 'бит' -gravity northwest \
        -draw "translate $t,$t scale $k,$k
               fill none stroke '$dark' stroke-width 4.5
               stroke-linecap round stroke-linejoin round
               polyline 13,31 20,38 34,26" \
        "${png_plain[@]}" "PNG8:$out"
    [[ $(identify -format '%w %h' "$out") == "$size $size" ]] \
        || fail "$out: expected $size x $size"
}

render_icon 48 "$here/icon48.png"
render_icon 256 "$here/icon256.png"

# The 48 x 48 entry is stored as an 8-bit-per-pixel bitmap with a 256-entry
# colour table and a transparency mask; the 256 x 256 entry as PNG.
ico=$here/infotest.ico
convert "$here/icon48.png" "$here/icon256.png" +dither -colors 256 -type PaletteAlpha "${png_plain[@]}" "ICO:$ico"
# Bits per pixel of the first directory entry (offset 6 + 6).
bpp=$(od -An -tu2 -j12 -N2 "$ico" | tr -d ' ')
[[ $bpp == 8 ]] || fail "infotest.ico: 48 x 48 entry has $bpp bits per pixel, not 8"

echo "wrote title.gif icon48.png icon256.png infotest.ico in $here"
