#!/usr/bin/env bash
# Times the picture collection of the workspace view (bench/collection_bench.cpp): a drop
# of a folder of photographs against LoadFitted alone, the same drop onto a collection
# that already holds many entries, reading a collection file at start, and the preview
# after a change of flip and rotation. The photographs are made at run time in a
# temporary folder and removed at the end.
#
#   bench/collection_bench.sh [options]
#
#   --build-dir DIR   where to build collection_bench in Release (default: build-bench2/)
#   --photos N        photographs in the dropped folder (default 500)
#   --distinct N      different photographs made; the dropped folder and the collection
#                     file's pictures are hard links to them in turn (default 10)
#   --photo-size WxH  their size (default 4000x3000, 12 megapixels)
#   --preview-size WxH  the previewed photograph's size (default 6000x4000, 24 megapixels)
#   --small N         small pictures in the collection before the second drop (default 10000)
#   --records N       records of the collection file (default 1000)
#   --runs N          repetitions of the drops (default 7)
#   --load-runs N     repetitions of the collection file load (default 7)
#   --preview-runs N  repetitions of the preview (default 15)
#   --only WHAT       drop, load or preview: only that measurement
#   --quick           a few files and runs: checks the script, not the figures
#   --work DIR        make the files in DIR and keep them (default: a temporary folder,
#                     removed at the end)
#   --write-readme    also put this run's report under "## Collection" in bench/README.md
#   --readme-from FILE  measure nothing: put the report an earlier run printed (saved in
#                     FILE) under "## Collection" in bench/README.md
#   --profile N       measure nothing: record where the preview's time goes with perf over
#                     N previews (collection_bench --profile), linked for this against the
#                     static TurboJPEG library, whose functions then have names (the
#                     shared one keeps only its exported ones); prints perf's summary
#
# Needs cjpeg and a C compiler (scripts/bootstrap installs them), cmake and ninja. Prints
# a Markdown report on standard output; progress goes to standard error. Nothing in the
# source tree is written except the build folder and, with --write-readme, that one
# section of bench/README.md.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build_dir="$root/build-bench2"
photos=500
distinct=10
photo_size=4000x3000
preview_size=6000x4000
small=10000
records=1000
runs=7
load_runs=7
preview_runs=15
only=""
work=""
write_readme=0
readme_from=""
profile=0
command_line="bench/collection_bench.sh $*"

usage() { sed -n '2,/^set -euo/p' "$0" | sed -e '/^set -euo/d' -e 's/^# \{0,1\}//'; }
die() { echo "collection_bench: $*" >&2; exit 1; }
say() { echo "collection_bench: $*" >&2; }

while [ $# -gt 0 ]; do
    case $1 in
    --build-dir) build_dir=$2; shift 2 ;;
    --photos) photos=$2; shift 2 ;;
    --distinct) distinct=$2; shift 2 ;;
    --photo-size) photo_size=$2; shift 2 ;;
    --preview-size) preview_size=$2; shift 2 ;;
    --small) small=$2; shift 2 ;;
    --records) records=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --load-runs) load_runs=$2; shift 2 ;;
    --preview-runs) preview_runs=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    --quick) photos=20; distinct=2; small=300; records=40; runs=2; load_runs=2; preview_runs=3; shift ;;
    --work) work=$2; shift 2 ;;
    --write-readme) write_readme=1; shift ;;
    --readme-from) readme_from=$2; shift 2 ;;
    --profile) profile=$2; shift 2 ;;
    -h|--help) usage; exit 0 ;;
    *) usage >&2; exit 2 ;;
    esac
done
case $profile in ''|*[!0-9]*) die "--profile takes a whole number" ;; esac
for n in "$photos" "$distinct" "$small" "$records" "$runs" "$load_runs" "$preview_runs"; do
    case $n in ''|*[!0-9]*|0) die "counts must be positive whole numbers, not '$n'" ;; esac
done
for size in "$photo_size" "$preview_size"; do
    [[ $size =~ ^[0-9]+x[0-9]+$ ]] || die "sizes are written WIDTHxHEIGHT, not '$size'"
done
case $only in ''|drop|load|preview) ;; *) die "--only takes drop, load or preview" ;; esac
[ "$profile" = 0 ] || only=preview

write_readme_section() { # REPORT
    local report=$1 readme section
    readme="$here/README.md"
    section="## Collection

The workspace view's collection (shell/child_view.h) driven as the program drives it, on
Qt's offscreen platform, in one process: \`OnDropFiles\` with a folder, \`LoadImageList\` of a
view created with a collection file, and \`SetRotationSettings\` followed by a repaint of the
preview control. Each is compared in the same run with \`LoadFitted\` (collection/thumbnail.h)
alone on the same files. The photographs are made at run time by bench/make_photo.c and
cjpeg (quality 90, 4:2:0, baseline) in a temporary folder; a few different ones are made
and the dropped folder holds hard links to them in turn, so every entry has its own path.
The files are in the file cache for every contender (a first untimed pass reads them).
Reproduce with:

    bench/collection_bench.sh --write-readme

$report"
    if [ -f "$here/collection_bench.notes.md" ]; then
        section="$section

$(cat "$here/collection_bench.notes.md")"
    fi
    # Only this section is replaced: from its heading to the next heading of its level.
    # A new section goes in front of \"## Thumbnails\", whose script rewrites from its own
    # heading to the end of the file.
    touch "$readme"
    SECTION="$section" awk '
        BEGIN { section = ENVIRON["SECTION"]; done = 0; skipping = 0 }
        /^## / {
            if (skipping) { skipping = 0 }
            if ($0 == "## Collection") { print section; print ""; done = 1; skipping = 1; next }
            if ($0 == "## Thumbnails" && !done && !seen_collection) { print section; print ""; done = 1 }
        }
        !skipping { print }
        END { if (!done) { print ""; print section } }
    ' seen_collection="$(grep -qx '## Collection' "$readme" && echo 1 || echo 0)" "$readme" >"$readme.new"
    mv "$readme.new" "$readme"
    say "wrote the figures into $readme"
}

if [ -n "$readme_from" ]; then
    [ -s "$readme_from" ] || die "$readme_from holds no report"
    write_readme_section "$(cat "$readme_from")"
    exit 0
fi

"$root/scripts/bootstrap"
command -v cjpeg >/dev/null || die "cjpeg is missing (scripts/bootstrap installs it)"

if [ -n "$work" ]; then
    mkdir -p "$work"
    work=$(cd "$work" && pwd)
else
    work=$(mktemp -d "${TMPDIR:-/tmp}/collection-bench.XXXXXX")
    trap 'rm -rf "$work"' EXIT
fi

say "building collection_bench (Release) in $build_dir"
if ! { cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release &&
    cmake --build "$build_dir" --target collection_bench -j 2; } >"$work/build.log" 2>&1; then
    tail -n 20 "$work/build.log" >&2
    die "the build failed"
fi
cc -O2 -o "$work/make_photo" "$here/make_photo.c" -lm

# One photograph: make_photo's picture compressed by cjpeg at quality 90 (4:2:0, baseline).
make_jpeg() { # SIZE SEED OUT
    local ppm="$3.ppm"
    "$work/make_photo" "${1%x*}" "${1#*x}" "$2" "$ppm"
    cjpeg -quality 90 -outfile "$3" "$ppm"
    rm -f "$ppm"
}

# Hard links NAME_0001.jpg ... in FOLDER to the files given, taken in turn: each entry has
# its own path, as the collection needs, without the disk space of copies.
link_in_turn() { # FOLDER NAME COUNT FILE...
    local folder=$1 name=$2 count=$3
    shift 3
    local files=("$@") i
    rm -rf "$folder"
    mkdir -p "$folder"
    for ((i = 0; i < count; i++)); do
        ln "${files[i % ${#files[@]}]}" "$(printf '%s/%s_%05d.jpg' "$folder" "$name" "$((i + 1))")"
    done
}

mkdir -p "$work/originals" "$work/tmp"
originals=()
if [ "$only" != preview ]; then
    say "making $distinct photographs of $photo_size"
    for ((seed = 1; seed <= distinct; seed++)); do
        out="$work/originals/photo_$seed.jpg"
        originals+=("$out")
        [ -s "$out" ] || make_jpeg "$photo_size" "$seed" "$out"
    done
fi
args=()
if [ -z "$only" ] || [ "$only" = drop ]; then
    [ -s "$work/originals/small.jpg" ] || make_jpeg 160x120 99 "$work/originals/small.jpg"
    say "linking $photos photographs and $small small pictures"
    link_in_turn "$work/photos" photo "$photos" "${originals[@]}"
    link_in_turn "$work/small" small "$small" "$work/originals/small.jpg"
    args+=(--photos "$work/photos" --small "$work/small" --runs "$runs")
fi
if [ -z "$only" ] || [ "$only" = load ]; then
    say "linking $records pictures for the collection file"
    link_in_turn "$work/saved" saved "$records" "${originals[@]}"
    args+=(--saved "$work/saved" --load-runs "$load_runs")
fi
if [ -z "$only" ] || [ "$only" = preview ]; then
    say "making the photograph of $preview_size to preview"
    [ -s "$work/originals/preview.jpg" ] || make_jpeg "$preview_size" 77 "$work/originals/preview.jpg"
    args+=(--preview "$work/originals/preview.jpg" --preview-runs "$preview_runs")
fi
[ -n "$only" ] && args+=(--only "$only")

if [ "$profile" != 0 ]; then
    command -v perf >/dev/null || die "perf is missing (linux-perf)"
    static=/usr/lib/x86_64-linux-gnu/libturbojpeg.a
    [ -f "$static" ] || die "$static is missing (libturbojpeg0-dev)"
    # The link command CMake made, into the work folder and against the static library.
    link=$(cd "$build_dir" && ninja -t commands bench/collection_bench | tail -n 1)
    link=${link//-o bench\/collection_bench /-o $work/collection_bench_profiled }
    link=${link//\/usr\/lib\/x86_64-linux-gnu\/libturbojpeg.so/$static}
    (cd "$build_dir" && eval "$link")
    say "recording $profile previews with perf"
    TMPDIR="$work/tmp" QT_QPA_PLATFORM=offscreen perf record --quiet --call-graph dwarf,16384 -F 500 \
        -o "$work/perf.data" "$work/collection_bench_profiled" --preview "$work/originals/preview.jpg" \
        --profile "$profile" >/dev/null 2>&1
    echo "Functions by the share of the samples spent in them or in what they called (inclusive):"
    perf report -i "$work/perf.data" --children --sort symbol --stdio 2>/dev/null |
        grep -E '^ +[0-9.]+%' | grep -E 'MakeRotationPreview|TransformJpegFile|tjTransform|jpeg_read_coefficients|decode_mcu|jtransform_execute_transform|jpeg_finish_compress|encode_mcu_huff|page_fault|munmap|LoadFitted|tjDecompress2|ResampleBicubic|ReadWholeFile|WriteNewFile|AddImage' |
        awk '{ printf "%8s  %s\n", $1, $4 }'
    exit 0
fi

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
# The preview's temporary files go to the work folder, so none is left anywhere else.
report=$(TMPDIR="$work/tmp" QT_QPA_PLATFORM=offscreen "$build_dir/bench/collection_bench" "${args[@]}")
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
leftovers=$(find "$work/tmp" -mindepth 1 -not -path "$work/tmp/runtime-*" | wc -l)
[ "$leftovers" = 0 ] || say "warning: $leftovers temporary files were left behind in $work/tmp"
report="$report
Run on $(date -u '+%Y-%m-%d %H:%M UTC') with \`$command_line\`; load average before $load_before, after $load_after.
The machine is shared: other processes (builds of other parts of the project) may have run at the
same time; the \"other cores\" columns say how busy they kept it."
printf '%s\n' "$report"

if [ "$write_readme" = 1 ]; then
    write_readme_section "$report"
fi
