#!/usr/bin/env bash
# preview.sh <art folder> <output.png>: puts the generated pieces together the
# way the windows draw them (main window with the drive selection page, the
# results and progress pieces, the small windows, every button strip) so the
# skin can be looked at as a whole. Needs ImageMagick.
set -euo pipefail
art=$1
out=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

frame0() {  # frame0 <strip> <frames>: the normal frame of a button strip
  local w
  w=$(identify -format '%w' "$art/$1.bmp")
  convert "$art/$1.bmp" -crop "$((w / $2))x+0+0" +repage "$work/$1.png"
  echo "$work/$1.png"
}
tile() {  # tile <piece> <count>: a row of 1-pixel tiles
  convert "$art/$1.bmp" -write mpr:t +delete -size "${2}x$(identify -format '%h' "$art/$1.bmp")" tile:mpr:t "$work/$1_$2.png"
  echo "$work/$1_$2.png"
}

# Main window, 855 x 599, showing the drive selection page.
convert -size 855x599 xc:white \
  "$art/frame_left.bmp" -geometry +0+0 -composite \
  "$art/banner.bmp" -geometry +6+0 -composite \
  "$art/frame_bottom.bmp" -geometry +6+576 -composite \
  "$art/frame_right.bmp" -geometry +848+0 -composite \
  \( -size 191x502 tile:"$art/panel_background.bmp" \) -geometry +6+80 -composite \
  "$art/panel_separator.bmp" -geometry +197+74 -composite \
  "$art/step_welcome_current.bmp" -geometry +6+92 -composite \
  "$art/step_scan.bmp" -geometry +6+132 -composite \
  "$art/step_results.bmp" -geometry +6+172 -composite \
  "$art/step_optimize.bmp" -geometry +6+212 -composite \
  -font DejaVu-Sans -pointsize 11 \
  -fill 'rgb(14,75,153)' -annotate +77+116 'Welcome' \
  -fill 'rgb(82,82,82)' -annotate +77+155 'Scan' -annotate +77+196 'Results' -annotate +77+237 'Optimize' \
  -fill black -annotate +731+44 'About' -annotate +792+44 'Help' \
  "$art/about_icon.bmp" -geometry +766+31 -composite \
  "$art/help_icon.bmp" -geometry +817+31 -composite \
  "$(frame0 button_minimize 3)" -geometry +775+1 -composite \
  "$(frame0 button_close 3)" -geometry +800+1 -composite \
  "$(frame0 button_update 3)" -geometry +699+54 -composite \
  "$work/main.png"

# The drive selection page at the container's origin (199, 74).
px=199; py=74
convert "$work/main.png" \
  "$art/select_title_icon.bmp" -geometry +$((px + 45))+$((py + 19)) -composite \
  "$art/rule.bmp" -geometry +$((px + 37))+$((py + 51)) -composite \
  "$art/drive_box_left.bmp" -geometry +$((px + 37))+$((py + 120)) -composite \
  "$(tile drive_box_tile 577)" -geometry +$((px + 43))+$((py + 120)) -composite \
  "$art/drive_box_right.bmp" -geometry +$((px + 620))+$((py + 120)) -composite \
  "$art/drive_icon.bmp" -geometry +$((px + 42))+$((py + 128)) -composite \
  "$(frame0 button_start_scan 3)" -geometry +$((px + 442))+$((py + 213)) -composite \
  "$art/status_box_left.bmp" -geometry +$((px + 37))+$((py + 290)) -composite \
  "$(tile status_box_tile 505)" -geometry +$((px + 43))+$((py + 290)) -composite \
  "$art/status_box_right.bmp" -geometry +$((px + 548))+$((py + 290)) -composite \
  "$art/status_box_right_end.bmp" -geometry +$((px + 620))+$((py + 290)) -composite \
  "$art/attention_icon.bmp" -geometry +$((px + 42))+$((py + 295)) -composite \
  "$art/status_rule.bmp" -geometry +$((px + 78))+$((py + 371)) -composite \
  "$art/status_rule.bmp" -geometry +$((px + 78))+$((py + 404)) -composite \
  -font DejaVu-Sans -fill black -pointsize 16 -annotate +$((px + 78))+$((py + 40)) 'Welcome to Vantrel' \
  -pointsize 14 -annotate +$((px + 80))+$((py + 148)) 'Select a Hard Drive' \
  -annotate +$((px + 77))+$((py + 311)) 'Attention Required' \
  -stroke 'rgb(122,122,122)' -fill white -draw "rectangle $((px + 80)),$((py + 160)) $((px + 588)),$((py + 180))" \
  "$work/window.png"

# A results page: header, badges, recommendation frame, footer and its buttons.
convert -size 657x502 xc:white \
  "$art/results_header_bad.bmp" -geometry +0+0 -composite \
  "$art/fragmented_badge.bmp" -geometry +48+110 -composite \
  "$art/non_optimized_badge.bmp" -geometry +48+199 -composite \
  "$art/box_left.bmp" -geometry +37+288 -composite \
  "$(tile box_tile 574)" -geometry +43+288 -composite \
  "$art/box_right.bmp" -geometry +617+288 -composite \
  "$art/recommend_icon.bmp" -geometry +45+292 -composite \
  \( -size 650x64 tile:"$art/footer_strip.bmp" \) -geometry +0+435 -composite \
  "$(frame0 button_cancel 3)" -geometry +339+451 -composite \
  "$(frame0 button_defrag 4)" -geometry +467+451 -composite \
  -font DejaVu-Sans -pointsize 11 -fill white -annotate +540+17 '1,234 Files Scanned.' \
  -fill 'rgb(190,4,0)' -pointsize 20 -annotate +130+143 '57' -annotate +120+232 '1,024' \
  "$work/results.png"

# The small windows and icons.
convert "$art/splash.bmp" "$art/popup_background.bmp" -background white -gravity north +append "$work/small1.png"
convert "$art/about_background.bmp" \
  \( "$art/results_header_good.bmp" -resize 60% \) -background white -gravity north +append "$work/small2.png"
convert "$art/map_sprites.bmp" "$art/legend_free.bmp" "$art/legend_used.bmp" "$art/legend_optimized.bmp" \
  "$art/legend_fragmented.bmp" "$art/legend_mft.bmp" "$art/legend_processing.bmp" \
  "$art/scan_icon.bmp" "$art/optimize_icon.bmp" "$art/recommend_icon.bmp" "$art/select_title_icon.bmp" \
  "$art/attention_icon.bmp" "$art/drive_icon.bmp" "$art/about_icon.bmp" "$art/help_icon.bmp" \
  "$art/app.ico[0]" "$art/app.ico[1]" "$art/hand.cur" \
  -background 'rgb(200,200,200)' -gravity east -splice 4x0 -gravity center +append -scale 400% "$work/icons.png"

# Every button strip, all frames, on a grey ground.
strips=()
for f in "$art"/button_*.bmp; do strips+=("$f"); done
convert "${strips[@]}" -background 'rgb(200,200,200)' -gravity north -splice 0x6 -gravity west -append -scale 200% "$work/buttons.png"

convert "$work/window.png" "$work/results.png" -background "rgb(90,90,90)" -gravity west -splice 10x0 -gravity north +append "$work/row1.png"
convert "$work/row1.png" "$work/small1.png" "$work/small2.png" "$work/icons.png" "$work/buttons.png" \
  -background "rgb(90,90,90)" -gravity north -splice 0x10 -gravity west -append +repage "$out"
echo "$out"
