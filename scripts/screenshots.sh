#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Pictures of the real window for the user's guide, written to docs/images: the editor with a
# sample set open, a lone card, the zoomed preview, the Render Deck and Play Sheets windows, a
# deck sheet as orvane-render writes it, the Statistics dock, Prepare Main Picture, the Print
# window, a set with a row that cannot be read, one card drawn with each shipped part pack, the
# editor with the set at the screen scales 1,
# 1.25, 1.5 and 2, and under a dark desktop palette (the GTK theme's dark variant, read through
# Qt's GTK platform theme). Each picture is the program's own window under Xvfb, taken with ImageMagick's
# import; the sample pictures are drawn here. Run it again when the window changes.
#   bash scripts/screenshots.sh [BUILD-DIR]     (a build with build/bin/orvane, orvane-render)
set -euo pipefail
self=$(realpath "$0")
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--inside-display" ]; then
    inside=1
else
    inside=0
    build=$(realpath "${1:-build}")
fi
out=$(realpath docs/images)
gtk_theme=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)/platformthemes/libqgtk3.so
[ -f "$gtk_theme" ] || { echo "screenshots: Qt's GTK platform theme is missing (bash scripts/deps.sh)" >&2; exit 1; }
for tool in xvfb-run xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing (bash scripts/deps.sh)" >&2; exit 1; }
done
if [ "$inside" -eq 0 ]; then
[ -x "$build/bin/orvane" ] || { echo "screenshots: no $build/bin/orvane; build first" >&2; exit 1; }
mkdir -p "$out"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A home of its own: no remembered window places, recent cards or recovery files of the user's.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_DATA_HOME=$work/home/data \
    XDG_CACHE_HOME=$work/home/cache XDG_RUNTIME_DIR=$work/home/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

# The sample set: six cards, each picture a simple shape on black (black is transparent).
deck=$work/deck
mkdir -p "$deck"
shape() { convert -size 62x62 xc:black -fill "$2" -stroke "$3" -strokewidth 2 -draw "$4" "$deck/$1.png"; }
shape knight '#c8c8d8' '#606078' 'polygon 31,8 46,20 42,54 20,54 16,20'
shape slime '#40c040' '#106010' 'ellipse 31,40 22,14 0,360'
shape golem '#a08060' '#503820' 'rectangle 14,14 48,54'
shape wisp '#f0e060' '#a08020' 'circle 31,31 31,12'
shape hydra '#4090e0' '#103870' 'polygon 8,54 20,10 31,40 42,10 54,54'
shape imp '#e05050' '#701818' 'polygon 31,6 54,54 8,54'
cat >"$deck/cards.csv" <<'CSV'
name,up,left,right,down,element,arrows,picture
Knight,7,A,A,A,Holy,up right,knight.png
Slime,2,3,1,4,Poison,down,slime.png
Golem,9,8,2,A,Earth,left right up down,golem.png
Wisp,4,6,6,3,Bolt,upper-left upper-right,wisp.png
Hydra,A,5,7,8,Water,lower-left lower-right down,hydra.png
Imp,3,2,5,1,Fire,,imp.png
CSV
cat >"$deck/mended.csv" <<'CSV'
name,up,left,right,down,element,arrows,picture
Knight,7,A,A,A,Holy,up right,knight.png
Slime,2,3,1,4,Poison,down,slime.png
Golem,9,8,12,A,Earth,left right up down,golem.png
Wisp,4,6,6,3,Bolt,upper-left upper-right,wisp.png
CSV
fi

# Starts the editor on ARGS at QT_SCALE_FACTOR=$scale (in the GTK theme $dark_theme when it is
# set), waits for its window and lets it paint:
# $editor is its process, $main its window.
start_editor() {
    rm -rf "$HOME" && mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"  # no recovery offered
    if [ -n "${dark_theme:-}" ]; then
        QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=$dark_theme "$build/bin/orvane" "$@" >/dev/null 2>&1 &
    else
        QT_SCALE_FACTOR=${scale:-1} "$build/bin/orvane" "$@" >/dev/null 2>&1 &
    fi
    editor=$!
    main=$(xdotool search --sync --onlyvisible --pid "$editor" 2>/dev/null | head -n1)
    sleep 2
}
stop_editor() { kill "$editor" 2>/dev/null || true; wait "$editor" 2>/dev/null || true; }
# The newest visible window of the editor other than WINDOW, once it has painted.
other_window() {
    local main=$1 id
    for _ in $(seq 50); do
        id=$(xdotool search --onlyvisible --pid "$editor" 2>/dev/null | grep -vx "$main" | tail -n1 || true)
        [ -n "$id" ] && { sleep 1.5; echo "$id"; return; }
        sleep 0.2
    done
    echo "screenshots: no window came up" >&2
    return 1
}
# Keys to a window, given the keyboard first (there is no window manager to do it).
keys() {
    xdotool mousemove --window "$1" 5 5 windowfocus --sync "$1"
    sleep 0.5
    shift
    xdotool key --delay 150 "$@"
}
shot() { echo "screenshots: $2" >&2; import -window "$1" "$work/shot.png" && convert "$work/shot.png" -strip "$out/$2"; }

shoot_all() {
    local dialog
    start_editor "$deck/cards.csv"
    shot "$main" set.png
    keys "$main" ctrl+1
    dialog=$(other_window "$main")
    shot "$dialog" zoomed-preview.png
    stop_editor

    start_editor "$deck/cards.csv"
    keys "$main" alt+v t
    sleep 1
    shot "$main" statistics.png
    stop_editor

    start_editor "$deck/cards.csv"
    keys "$main" ctrl+p
    dialog=$(other_window "$main")
    shot "$dialog" print.png
    stop_editor

    start_editor "$deck/mended.csv"
    shot "$main" bad-row.png
    stop_editor

    start_editor "$deck/golem.png"
    keys "$main" alt+e m
    dialog=$(other_window "$main")
    shot "$dialog" prepare-picture.png
    stop_editor

    start_editor "$deck/golem.png"
    shot "$main" editor.png
    keys "$main" alt+f n
    dialog=$(other_window "$main")
    shot "$dialog" render-deck.png
    stop_editor

    start_editor "$deck/knight.png"
    keys "$main" alt+f y
    dialog=$(other_window "$main")
    shot "$dialog" play-sheets.png
    stop_editor

    for scale in 1.25 1.5 2; do
        start_editor "$deck/cards.csv"
        shot "$main" "set-scale-$scale.png"
        stop_editor
    done
    unset scale

    dark_theme=Adwaita:dark
    start_editor "$deck/cards.csv"
    shot "$main" set-dark.png
    stop_editor
    unset dark_theme
}
if [ "$inside" -eq 1 ]; then
    shoot_all
    exit 0
fi
# The same script again, on a display of its own.
export build out work deck
xvfb-run -a -s "-screen 0 2400x1600x24" bash "$self" --inside-display

# A deck sheet as orvane-render writes it for a tabletop, made smaller for the page.
"$build/bin/orvane-render" "$deck/cards.csv" --out "$work/cards" --tts "$work/table" --scale 2 --quiet
convert "$work/table/cards-blue-1.png" -strip "$out/deck-sheet.png"

# One card at 4 x with the built-in parts and with each pack shipped beside the program.
packs=("$build/share/orvane/packs"/*/)
sides=()
for pack in "" "${packs[@]}"; do
    folder=$work/pack-$(basename "${pack:-builtin}")
    "$build/bin/orvane-render" "$deck/cards.csv" --out "$folder" --scale 4 --quiet ${pack:+--pack "$pack"}
    sides+=("$folder/Knight-blue.png")
done
convert "${sides[@]}" -background white -splice 8x0 +append -chop 8x0 -strip "$out/packs.png"
ls -l "$out"
