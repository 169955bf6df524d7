# Pixel statistics of screenshots, and the two pictures the screensaver can show: a hilly textured
# landscape, or the checkerboard over flat ground. Sourced by run.sh, which builds picstats into
# TOOLS.

# /usr/local/bin may hold a stand-in that knows only a few of ImageMagick's options.
IM_CONVERT=/usr/bin/convert

# Prints the statistics of the client area WIDTHxHEIGHT+X+Y of IMAGE as name=value pairs (the
# names are explained in picstats.cpp).
picture_statistics() {
    local image=$1 width=$2 height=$3 x=$4 y=$5
    "$IM_CONVERT" "$image" -crop "${width}x${height}+${x}+${y}" +repage -alpha off -depth 8 \
        ppm:- | "$TOOLS/picstats"
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
    statistics_hold "$line" 'lit_white >= 0.0002 && lit_magenta >= 0.0002' ||
        problems+=("checker colours missing")
    statistics_hold "$line" 'whitish >= 0.002 && magentaish >= 0.1' ||
        problems+=("not a two-colour checkerboard")
    [ ${#problems[@]} -eq 0 ] && return 0
    local IFS=,
    echo "${problems[*]}"
    return 1
}
