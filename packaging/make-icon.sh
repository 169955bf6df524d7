#!/usr/bin/env bash
# Draws the program's icon (a sun over green hills under a blue sky) with ImageMagick and writes
# it with 48, 32 and 16 pixel images to quellmoor.ico beside this script. The icon is committed;
# run this only to change it.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 128x128 gradient:'#3f6fd8-#a9c8f5' \
    -fill '#ffd84a' -stroke '#f0a020' -strokewidth 3 -draw 'circle 88,38 88,56' \
    -stroke none \
    -fill '#4f8f2e' -draw 'path "M 0,88 C 30,60 60,64 84,84 C 100,74 116,70 128,74 L 128,128 L 0,128 Z"' \
    -fill '#3a7424' -draw 'path "M 0,108 C 36,86 72,90 128,104 L 128,128 L 0,128 Z"' \
    -fill '#2c5c1b' -draw 'path "M 0,122 C 40,112 90,112 128,120 L 128,128 L 0,128 Z"' \
    -define icon:auto-resize=48,32,16 quellmoor.ico
