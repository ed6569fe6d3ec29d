#!/usr/bin/env bash
# Writes the program's three 32x32, 16-colour icons into the folder given:
#   quorvel.ico  the program icon: a window with a blue title bar under a magnifying glass
#   white.ico    every pixel white, shown for a handle that is no longer a window
#   finder.ico   a crosshair in a ring, the finder the user drags onto a window
set -euo pipefail
out=$1
mkdir -p "$out"

# The standard 16-colour palette as B G R 0.
palette='\x00\x00\x00\x00\x00\x00\x80\x00\x00\x80\x00\x00\x00\x80\x80\x00\x80\x00\x00\x00\x80\x00\x80\x00\x80\x80\x00\x00\xc0\xc0\xc0\x00\x80\x80\x80\x00\x00\x00\xff\x00\x00\xff\x00\x00\x00\xff\xff\x00\xff\x00\x00\x00\xff\x00\xff\x00\xff\xff\x00\x00\xff\xff\xff\x00'
BLACK=0 BLUE=4 GREY=8 LIGHT=7 YELLOW=11 WHITE=15 RED=9

program_pixel() {  # x y -> palette index (y counts from the top)
  local x=$1 y=$2
  local dx=$((x - 19)) dy=$((y - 18))
  local d2=$((dx * dx + dy * dy))
  if (( d2 <= 30 )); then echo $LIGHT; return; fi          # lens
  if (( d2 <= 49 )); then echo $BLACK; return; fi          # lens rim
  if (( x - y >= -1 && x - y <= 1 && x >= 24 && x <= 29 && y >= 23 && y <= 29 )); then echo $RED; return; fi
  if (( x >= 2 && x <= 25 && y >= 3 && y <= 24 )); then
    if (( x == 2 || x == 25 || y == 3 || y == 24 )); then echo $BLACK; return; fi
    if (( y <= 7 )); then echo $BLUE; return; fi
    echo $WHITE; return
  fi
  echo $WHITE
}

write_icon() {  # file pixel-function
  local file=$1 fn=$2
  {
    printf '\x00\x00\x01\x00\x01\x00'                                   # ICONDIR, one image
    printf '\x20\x20\x10\x00\x01\x00\x04\x00\xe8\x02\x00\x00\x16\x00\x00\x00'  # 32x32, 16 colours, 744 bytes at 22
    printf '\x28\x00\x00\x00\x20\x00\x00\x00\x40\x00\x00\x00\x01\x00\x04\x00'  # BITMAPINFOHEADER, height doubled
    printf '\x00\x00\x00\x00\x80\x02\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'
    printf '\x10\x00\x00\x00\x00\x00\x00\x00'
    printf "$palette"
    local y x hi lo
    for ((y = 31; y >= 0; y--)); do                                        # bottom-up rows, two pixels a byte
      for ((x = 0; x < 32; x += 2)); do
        hi=$($fn $x $y); lo=$($fn $((x + 1)) $y)
        printf "\\x$(printf %x $((hi * 16 + lo)))"
      done
    done
    for ((y = 0; y < 32; y++)); do printf '\x00\x00\x00\x00'; done          # AND mask: all opaque
  } > "$file.tmp"
  mv "$file.tmp" "$file"
}

white_pixel() { echo $WHITE; }

finder_pixel() {  # x y -> palette index; doubled coordinates keep the cross centred on 15.5
  local dx=$((2 * $1 - 31)) dy=$((2 * $2 - 31))
  local d2=$((dx * dx + dy * dy))
  if (( (dx >= -1 && dx <= 1 && dy >= -27 && dy <= 27) || (dy >= -1 && dy <= 1 && dx >= -27 && dx <= 27) )); then
    echo $BLACK; return
  fi
  if (( d2 >= 361 && d2 <= 529 )); then echo $RED; return; fi   # ring, radius 9.5 to 11.5
  echo $WHITE
}

write_icon "$out/quorvel.ico" program_pixel
write_icon "$out/white.ico" white_pixel
write_icon "$out/finder.ico" finder_pixel
