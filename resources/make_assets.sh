#!/usr/bin/env bash
# Builds Velmora's bitmaps, cursor, icon and click sound into resources/assets/.
# Needs ImageMagick (/usr/bin/convert), sox and icoutils (icotool).
# The output is the same on every run: metadata and timestamps are stripped,
# and sox runs in repeatable mode without dither.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="$here/assets"
mkdir -p "$out"

# Call ImageMagick by full path: another `convert` may come first on PATH.
IM=/usr/bin/convert
FONT=DejaVu-Sans-Bold
PTSIZE=20

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# PNG scratch files without time chunks, so icotool gets identical input each run.
png_opts=(-strip -define png:exclude-chunks=date,time)
# Baseline 24-bit JPEG, no metadata.
jpg_opts=(-strip -type TrueColor -interlace none -quality 90)

# ---------------------------------------------------------------------------
# Menu buttons: <name>1.jpg is the normal bar, <name>2.jpg the lit one.
# ---------------------------------------------------------------------------

# A bar: vertical gradient from top to bottom colour, a one-pixel highlight line on top, a shadow
# line at the bottom and a thin outline.
bar() { # width height top bottom highlight shadow outline file
  local w=$1 h=$2
  "$IM" -size "${w}x$((h - 2))" gradient:"$3"-"$4" \
    \( -size "${w}x1" xc:"$5" \) +swap \
    \( -size "${w}x1" xc:"$6" \) \
    -append \
    -fill none -stroke "$7" -strokewidth 1 \
    -draw "rectangle 0,0 $((w - 1)),$((h - 1))" \
    "${png_opts[@]}" "$8"
}
# Silver bar (normal) and a yellow top fading into a light blue bottom (lit), same edges.
silver_bar() { bar "$1" "$2" '#f2f2f2' '#a4a4a4' '#ffffff' '#6e6e6e' '#585858' "$3"; }
lit_bar() { bar "$1" "$2" '#ffe94a' '#5f9cff' '#fffbd0' '#1f3f9f' '#1a2f7a' "$3"; }

for size in 400x40 197x40; do
  silver_bar "${size%x*}" "${size#*x}" "$tmp/bar1_$size.png"
  lit_bar "${size%x*}" "${size#*x}" "$tmp/bar2_$size.png"
done

button() { # name size label
  local name=$1 size=$2 label=$3 state
  for state in 1 2; do
    "$IM" "$tmp/bar${state}_$size.png" \
      -font "$FONT" -pointsize "$PTSIZE" -fill black -stroke none \
      -gravity center -annotate +0+0 "$label" \
      "${jpg_opts[@]}" "$out/$name$state.jpg"
  done
}

button get        400x40 "Get Skins!"
button select     400x40 "Select Your Own Skin"
button textcolor  400x40 "Change Text Color"
button change     400x40 "Change Window Title"
button submit     400x40 "Submit A Skin"
button tell       400x40 "Tell A Friend"
button remove     400x40 "Remove Skin"
button help       197x40 "Help/About"
button exit       197x40 "Exit"

# ---------------------------------------------------------------------------
# Click sound: 40 ms, 22050 Hz, 16-bit mono; a short tone that dies away fast.
# ---------------------------------------------------------------------------
sox -R -D -n -r 22050 -c 1 -b 16 -e signed-integer "$out/main.wav" \
  synth 0.04 sine 1800 sine 3100 remix - \
  fade q 0.002 0.04 0.036 gain -n -3

# ---------------------------------------------------------------------------
# Hand cursor, 32x32: white hand with a black outline, index finger up.
# ---------------------------------------------------------------------------
HAND_HOT_X=10
HAND_HOT_Y=0
"$IM" -size 32x32 xc:black +antialias -fill white -stroke none \
  -draw "roundrectangle 8,1 12,17 2,2" \
  -draw "roundrectangle 12,10 16,19 2,2" \
  -draw "roundrectangle 16,11 20,20 2,2" \
  -draw "roundrectangle 20,13 23,21 1,1" \
  -draw "rectangle 8,16 23,24" \
  -draw "polygon 8,24 23,24 21,27 10,27" \
  -draw "polygon 8,17 5,14 3,15 3,18 8,24" \
  -draw "rectangle 10,27 21,30" \
  "${png_opts[@]}" "$tmp/hand_mask.png"
# Outline = one-pixel growth of the silhouette; inner creases drawn on top.
"$IM" "$tmp/hand_mask.png" -morphology Dilate Square:1 "${png_opts[@]}" "$tmp/hand_alpha.png"
"$IM" "$tmp/hand_mask.png" +antialias -fill black -stroke none \
  -draw "line 12,14 12,19" -draw "line 16,14 16,20" -draw "line 20,15 20,21" \
  -draw "line 10,27 21,27" \
  "$tmp/hand_alpha.png" -alpha off -compose CopyOpacity -composite \
  -define png:color-type=6 "${png_opts[@]}" "$tmp/hand.png"
icotool -c --cursor --hotspot-x="$HAND_HOT_X" --hotspot-y="$HAND_HOT_Y" \
  -o "$out/hand_point.cur" "$tmp/hand.png"

# ---------------------------------------------------------------------------
# Program icon: purple window with a yellow V, drawn separately per size.
# ---------------------------------------------------------------------------
PURPLE='rgb(144,0,255)'
icon() { # size
  local s=$1 f
  f=$(awk "BEGIN{print $s/48}")
  # Coordinates below are for 48 px and get scaled.
  sc() { awk -v f="$f" '{for(i=1;i<=NF;i++){split($i,p,",");printf "%s%d,%d", (i>1?" ":""), p[1]*f+0.5, p[2]*f+0.5}}' <<<"$*"; }
  "$IM" -size "${s}x${s}" xc:none \
    -fill "$PURPLE" -stroke '#3a006a' -strokewidth 1 \
    -draw "roundrectangle $(sc 1,3 46,45) 3,3" \
    -fill '#5c00a8' -stroke none \
    -draw "rectangle $(sc 2,4 45,12)" \
    -fill '#ffd800' -stroke '#5a3a00' -strokewidth 1 \
    -draw "polygon $(sc 9,16 17,16 24,35 31,16 39,16 28,42 20,42)" \
    "${png_opts[@]}" "$tmp/icon$s.png"
}
for s in 48 32; do icon "$s"; done
# At 16 px an antialiased V turns to mush, so that size is set pixel by pixel.
"$IM" -size 16x16 xc:none +antialias \
  -fill "$PURPLE" -stroke '#3a006a' -strokewidth 1 -draw "rectangle 0,1 15,14" \
  -stroke none -fill '#5c00a8' -draw "rectangle 1,2 14,3" \
  -fill '#ffd800' \
  -draw "rectangle 3,5 4,6" -draw "rectangle 11,5 12,6" \
  -draw "rectangle 4,7 5,8" -draw "rectangle 10,7 11,8" \
  -draw "rectangle 5,9 6,10" -draw "rectangle 9,9 10,10" \
  -draw "rectangle 6,11 9,11" -draw "rectangle 7,12 8,12" \
  "${png_opts[@]}" "$tmp/icon16.png"
icotool -c -o "$out/mainicon.ico" "$tmp/icon16.png" "$tmp/icon32.png" "$tmp/icon48.png"

# The setup program's second icon, for the uninstall shortcut: the same window with a red cross.
for s in 48 32 16; do
  w=$((s * 3 / 4)); o=$(( (s - w) / 2 ))
  "$IM" "$tmp/icon$s.png" \( -size "${s}x${s}" xc:none -stroke '#d00000' -strokewidth $((s / 8 + 1)) \
      -draw "line $o,$o $((o + w)),$((o + w))" -draw "line $((o + w)),$o $o,$((o + w))" \) \
    -composite "${png_opts[@]}" "$tmp/uninstall$s.png"
done
icotool -c -o "$out/uninstallicon.ico" "$tmp/uninstall16.png" "$tmp/uninstall32.png" "$tmp/uninstall48.png"

# ---------------------------------------------------------------------------
# Dialog border strips, 15 px thick: light gold on the outer edge, fading
# through purple to a dark inner line. Forms stretch them along each edge.
# ---------------------------------------------------------------------------
"$IM" -size 1x1 xc:'#fff6b8' \
  \( -size 1x6 gradient:'#ffe060'-'#c89400' \) \
  \( -size 1x7 gradient:'#a050e0'-'#4a0c96' \) \
  \( -size 1x1 xc:'#22064a' \) \
  -append -scale 100x15! "${png_opts[@]}" "$tmp/strip.png"
bmp_opts=(-strip -type TrueColor)
"$IM" "$tmp/strip.png"                  "${bmp_opts[@]}" "BMP3:$out/top.bmp"
"$IM" "$tmp/strip.png" -flip            "${bmp_opts[@]}" "BMP3:$out/bottom.bmp"
"$IM" "$tmp/strip.png" -rotate -90      "${bmp_opts[@]}" "BMP3:$out/left.bmp"
"$IM" "$tmp/strip.png" -rotate 90       "${bmp_opts[@]}" "BMP3:$out/right.bmp"

# ---------------------------------------------------------------------------
# The toolbar frame of the gallery and the select dialog, 402 x 62, 24-bit:
# a miniature of the browser's menu bar, button bar, address bar and links
# bar drawn on pure red inside a 2-pixel frame. Red is the transparent colour,
# so the skin under it shows through; nothing else may be pure red, hence no
# antialiasing. Kept as BMP: JPEG would blur the red.
# ---------------------------------------------------------------------------
SMALL=DejaVu-Sans
"$IM" -size 402x62 xc:'rgb(255,0,0)' +antialias \
  -fill none -stroke '#404040' -draw "rectangle 0,0 401,61" \
  -stroke '#c0c0c0' -draw "rectangle 1,1 400,60" \
  -stroke '#808080' -draw "line 2,15 399,15" -stroke '#ffffff' -draw "line 2,16 399,16" \
  -stroke '#808080' -draw "line 2,39 399,39" -stroke '#ffffff' -draw "line 2,40 399,40" \
  -stroke '#808080' -draw "line 4,3 4,13" -draw "line 4,18 4,37" -draw "line 4,42 4,57" -draw "line 318,42 318,57" \
  -stroke '#ffffff' -draw "line 5,3 5,13" -draw "line 5,18 5,37" -draw "line 5,42 5,57" -draw "line 319,42 319,57" \
  -stroke none -fill black -font "$SMALL" -pointsize 9 \
  -annotate +10+12 'File   Edit   View   Favorites   Tools   Help' \
  -fill '#1c7c1c' -stroke '#0b3f0b' -draw "circle 22,24 22,18" -draw "circle 66,24 66,18" \
  -fill white -stroke none -draw "polygon 18,24 24,20 24,28" -draw "polygon 70,24 64,20 64,28" \
  -fill '#b00000' -stroke '#500000' -draw "polygon 107,18 113,18 116,21 116,27 113,30 107,30 104,27 104,21" \
  -fill '#2050c8' -stroke '#10286a' -draw "circle 154,24 154,18" \
  -fill white -stroke none -draw "rectangle 152,21 156,27" \
  -fill '#e0c060' -stroke '#604000' -draw "polygon 191,24 198,18 205,24 202,24 202,30 194,30 194,24" \
  -stroke none -fill black -pointsize 8 \
  -annotate +12+38 'Back' -annotate +48+38 'Forward' -annotate +100+38 'Stop' \
  -annotate +137+38 'Refresh' -annotate +185+38 'Home' \
  -pointsize 9 -annotate +9+53 'Address' \
  -fill white -stroke '#808080' -draw "rectangle 50,44 312,55" \
  -stroke none -fill black -annotate +54+53 'http://' \
  -annotate +324+53 'Links' \
  "${bmp_opts[@]}" "BMP3:$out/ieframe.bmp"

# ---------------------------------------------------------------------------
# Progress bar of the gallery's skin download, 263 x 17, 24-bit: a purple
# bar with a light top edge. The dialog stretches it to the received part.
# ---------------------------------------------------------------------------
"$IM" -size 263x17 gradient:'#d8a0ff'-'#5a00a0' "${bmp_opts[@]}" "BMP3:$out/progress.bmp"

# ---------------------------------------------------------------------------
# The about box's two pictures, 48 x 48, 24-bit, on pure black (their
# transparent colour): a frog sitting on an orange ball, and a lizard. No
# antialiasing and no pure black inside, so only the background is left out.
# ---------------------------------------------------------------------------
"$IM" -size 48x48 xc:black +antialias \
  -fill '#ff8a1c' -stroke '#a04a00' -draw "circle 24,33 24,47" \
  -fill '#ffb86a' -stroke none -draw "ellipse 19,28 5,3 0,360" \
  -fill '#3cb43c' -stroke '#105a10' -draw "ellipse 24,17 13,9 0,360" \
  -draw "ellipse 12,24 5,3 0,360" -draw "ellipse 36,24 5,3 0,360" \
  -draw "circle 16,8 16,3" -draw "circle 32,8 32,3" \
  -fill white -stroke none -draw "circle 16,8 16,5" -draw "circle 32,8 32,5" \
  -fill '#102010' -draw "rectangle 15,7 17,9" -draw "rectangle 31,7 33,9" \
  -stroke '#8a1a1a' -fill none -draw "arc 16,14 32,22 20,160" \
  "${bmp_opts[@]}" "BMP3:$out/frog.bmp"
"$IM" -size 48x48 xc:black +antialias \
  -fill '#7ccf3a' -stroke '#2f6a10' \
  -draw "polygon 6,40 12,34 20,30 28,26 34,20 38,12 42,8 45,10 43,16 38,24 30,32 22,38 14,42" \
  -draw "ellipse 40,10 5,4 0,360" \
  -draw "polygon 22,30 18,22 15,23 19,32" -draw "polygon 32,24 36,30 39,29 34,21" \
  -draw "polygon 16,36 12,42 15,44 20,36" -draw "polygon 26,33 28,41 31,41 29,31" \
  -fill '#f0e030' -stroke none -draw "circle 41,8 41,6" \
  -fill '#102010' -draw "rectangle 41,7 42,8" \
  -fill '#b8f070' -draw "ellipse 26,28 6,2 -35,325" \
  "${bmp_opts[@]}" "BMP3:$out/lizard.bmp"

# ---------------------------------------------------------------------------
# The setup wizard's page pictures (JPEG): red, bold italic lettering on white.
# The banner shows the product over a toolbar wearing a skin.
# ---------------------------------------------------------------------------
RED='#c00000'
ITALIC=DejaVu-Sans-Bold-Oblique
page() { # file width height pointsize text...
  local file=$1 w=$2 h=$3 pt=$4; shift 4
  "$IM" -size "${w}x${h}" xc:white -font "$ITALIC" -pointsize "$pt" -fill "$RED" -stroke none \
    -gravity northwest -annotate +4+2 "$*" "${jpg_opts[@]}" "$out/$file"
}
"$IM" -size 460x90 gradient:'#ffcc33'-'#cc3366' \
  \( "$out/ieframe.bmp" -fill '#ffe0a0' -opaque 'rgb(255,0,0)' -resize 300x46! \) -gravity southeast -geometry +12+8 -composite \
  -gravity northwest -font "$ITALIC" -pointsize 30 -fill white -stroke '#800000' -strokewidth 1 -annotate +14+10 'Velmora' \
  -pointsize 15 -stroke none -fill white -annotate +18+52 'Version 3.1' \
  "${jpg_opts[@]}" "$out/setupbanner.jpg"
page setupmain1.jpg 420 50 15 $'Welcome to the Velmora 3.1 Setup Wizard!\nThis will install Velmora on your computer.'
page setupmain2.jpg 420 26 13 'Please select the installation type and click Next.'
page setupcustom1.jpg 420 44 13 $'Please select the directory and program group\nto install Velmora to.'
page setupcustom2.jpg 124 70 12 $'Directory:\n\n\nProgram Group:'
page setupcomplete1.jpg 420 60 15 $'Installation complete!\nThank you for trying Velmora 3.1.'

# ---------------------------------------------------------------------------
# The uninstall windows' progress bar, 1 x 17, 24-bit: magenta, brightest
# (255, 0, 255) in the middle row, darkest (112, 0, 112) at top and bottom.
# ---------------------------------------------------------------------------
"$IM" -size 1x9 gradient:'rgb(112,0,112)'-'rgb(255,0,255)' "${png_opts[@]}" "$tmp/barhalf.png"
"$IM" "$tmp/barhalf.png" \( "$tmp/barhalf.png" -crop 1x8+0+0 +repage -flip \) -append \
  "${bmp_opts[@]}" "BMP3:$out/uninstallbar.bmp"
