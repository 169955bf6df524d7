# Pixel statistics of screenshots, and the two pictures the screensaver can show: a hilly textured
# landscape, or the checkerboard over flat ground. Sourced by run.sh.

# /usr/local/bin may hold a stand-in that knows only a few of ImageMagick's options.
IM_CONVERT=/usr/bin/convert

SKY_COLOUR='rgb(128,128,255)'
# The checkerboard's two colours under the light that flat ground receives.
LIT_WHITE='rgb(218,218,187)'
LIT_MAGENTA='rgb(175,0,94)'

# Fraction of the pixels of IMAGE inside GEOMETRY (WxH+X+Y) within FUZZ of COLOUR.
colour_fraction() {
    local image=$1 geometry=$2 colour=$3 fuzz=$4
    "$IM_CONVERT" "$image" -crop "$geometry" +repage -alpha off -fuzz "$fuzz" \
        -fill black +opaque "$colour" -fill white -opaque "$colour" \
        -colorspace gray -format '%[fx:mean]' info:
}

# Fraction of the pixels inside GEOMETRY for which the fx EXPRESSION holds.
expression_fraction() {
    local image=$1 geometry=$2 expression=$3
    "$IM_CONVERT" "$image" -crop "$geometry" +repage -alpha off -fx "$expression ? 1 : 0" \
        -colorspace gray -format '%[fx:mean]' info:
}

# Mean red over mean green of the pixels inside GEOMETRY that are not sky.
ground_red_over_green() {
    local image=$1 geometry=$2
    "$IM_CONVERT" "$image" -crop "$geometry" +repage -alpha off -fuzz 2% \
        -fill black -opaque "$SKY_COLOUR" -format '%[fx:mean.g > 0 ? mean.r / mean.g : 0]' info:
}

# Mean luminance of the pixels inside GEOMETRY.
mean_luminance() {
    local image=$1 geometry=$2
    "$IM_CONVERT" "$image" -crop "$geometry" +repage -alpha off -colorspace gray \
        -format '%[fx:mean]' info:
}

# Two name=value pairs about the skyline across GEOMETRY, from the columns' counts of sky pixels:
# how many rows it rises and falls (the spread between the columns with the most and the fewest),
# and how many rows its mean lies below the middle of the window, where flat ground puts it.
skyline_shape() {
    local image=$1 width=$2 height=$3 x=$4 y=$5 middle=$6
    "$IM_CONVERT" "$image" -crop "${width}x${height}+${x}+${y}" +repage -alpha off -fuzz 2% \
        -fill black +opaque "$SKY_COLOUR" -fill white -opaque "$SKY_COLOUR" -colorspace gray \
        -scale "${width}x1!" \
        -format "skyline=%[fx:(maxima - minima) * $height] horizon=%[fx:mean * $height - $middle]" \
        info:
}

# Prints the statistics of the client area WIDTHxHEIGHT+X+Y of IMAGE as name=value pairs: sky in
# the top eighth; sky and luminance in the bottom sixth; in the lower half, the checkerboard's
# colours and the red over green of the ground; and the skyline's shape over the upper three
# quarters.
picture_statistics() {
    local image=$1 width=$2 height=$3 x=$4 y=$5
    local top="${width}x$((height / 8))+${x}+${y}"
    local bottom="${width}x$((height / 6))+${x}+$((y + height - height / 6))"
    local lower="${width}x$((height / 2))+${x}+$((y + height - height / 2))"
    echo "top_sky=$(colour_fraction "$image" "$top" "$SKY_COLOUR" 2%)" \
        "bottom_sky=$(colour_fraction "$image" "$bottom" "$SKY_COLOUR" 2%)" \
        "bottom_luminance=$(mean_luminance "$image" "$bottom")" \
        "lit_white=$(colour_fraction "$image" "$lower" "$LIT_WHITE" 5%)" \
        "lit_magenta=$(colour_fraction "$image" "$lower" "$LIT_MAGENTA" 5%)" \
        "whitish=$(expression_fraction "$image" "$lower" 'r > 0.3 && g > 0.9 * r')" \
        "magentaish=$(expression_fraction "$image" "$lower" 'r > 0.3 && g < 0.5 * r && b > g')" \
        "ground_rg=$(ground_red_over_green "$image" "$lower")" \
        "$(skyline_shape "$image" "$width" $((height * 3 / 4)) "$x" "$y" $((height / 2)))"
}

# Value of NAME in a statistics line.
statistic() {
    local name=$1 line=$2 pair
    for pair in $line; do
        if [ "${pair%%=*}" = "$name" ]; then
            echo "${pair#*=}"
            return 0
        fi
    done
    return 1
}

# Holds when the awk condition over the statistics' names is true, e.g. 'top_sky >= 0.5'.
statistics_hold() {
    local line=$1 condition=$2
    awk -v line="$line" "BEGIN {
        n = split(line, pairs, \" \")
        for (i = 1; i <= n; i++) { split(pairs[i], kv, \"=\"); v[kv[1]] = kv[2] + 0 }
        exit !($(echo "$condition" | sed -E 's/([a-z_]+)/v["\1"]/g'))
    }"
}

# Checks a statistics line against the hilly, lit landscape textured with a texture whose mean red
# over green is TEXTURE_RG. Prints what does not match and fails; prints nothing when it matches.
judge_landscape() {
    local line=$1 texture_rg=$2 problems=()
    statistics_hold "$line" 'top_sky >= 0.5' || problems+=("no clear colour above")
    statistics_hold "$line" 'bottom_sky <= 0.05' || problems+=("no ground below")
    statistics_hold "$line" 'bottom_luminance >= 0.08' || problems+=("ground not lit")
    statistics_hold "$line" 'magentaish <= 0.01' || problems+=("checkerboard colours")
    statistics_hold "$line ref=$texture_rg" 'ground_rg >= 0.75 * ref && ground_rg <= 1.25 * ref' ||
        problems+=("ground colour not the texture's (red/green $texture_rg)")
    statistics_hold "$line" 'skyline >= 6 || horizon >= 6 || horizon <= -6' ||
        problems+=("flat horizon")
    [ ${#problems[@]} -eq 0 ] && return 0
    local IFS=,
    echo "${problems[*]}"
    return 1
}

# Checks a statistics line against the checkerboard over flat ground.
judge_checkerboard() {
    local line=$1 problems=()
    statistics_hold "$line" 'top_sky >= 0.5' || problems+=("no clear colour above")
    statistics_hold "$line" 'bottom_sky <= 0.05' || problems+=("no ground below")
    statistics_hold "$line" 'skyline <= 3 && horizon >= -3 && horizon <= 4' ||
        problems+=("horizon not flat")
    statistics_hold "$line" 'lit_white > 0.001 && lit_magenta > 0.001' ||
        problems+=("checker colours missing")
    statistics_hold "$line" 'whitish >= 0.005 && magentaish >= 0.1' ||
        problems+=("not a two-colour checkerboard")
    [ ${#problems[@]} -eq 0 ] && return 0
    local IFS=,
    echo "${problems[*]}"
    return 1
}
