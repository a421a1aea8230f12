#!/usr/bin/env bash
# Times thumbnail making (LoadFitted into 96 x 96) against a full decode followed by the
# bicubic rescale and against vipsthumbnail, on 24 and 12 megapixel photographs made at
# run time, side by side in one run.
#
#   bench/thumbnail_bench.sh [options]
#
#   --build-dir DIR   where to build thumbnail_bench in Release (default: build-bench/)
#   --runs N          timed repetitions per photograph and contender (default 9)
#   --quick           3 repetitions: checks the script, not the figures
#   --work DIR        keep the photographs and thumbnails in DIR (default: a temporary
#                     folder, removed at the end)
#   --write-readme    also put this run's report under "## Thumbnails" in bench/README.md
#
# Installs what it needs with scripts/bootstrap --bench (vipsthumbnail from libvips-tools).
# Prints a Markdown report on standard output; progress goes to standard error.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build_dir="$root/build-bench"
runs=9
work=""
write_readme=0

usage() { sed -n '2,/^set -euo/p' "$0" | sed -e '/^set -euo/d' -e 's/^# \{0,1\}//'; }
die() { echo "thumbnail_bench: $*" >&2; exit 1; }

while [ $# -gt 0 ]; do
    case $1 in
    --build-dir) build_dir=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --quick) runs=3; shift ;;
    --work) work=$2; shift 2 ;;
    --write-readme) write_readme=1; shift ;;
    -h|--help) usage; exit 0 ;;
    *) usage >&2; exit 2 ;;
    esac
done
case $runs in ''|*[!0-9]*|0) die "--runs needs a positive whole number, not '$runs'" ;; esac

"$root/scripts/bootstrap" --bench
echo "thumbnail_bench: building thumbnail_bench (Release) in $build_dir" >&2
log=$(mktemp "${TMPDIR:-/tmp}/thumbnail-bench-build.XXXXXX")
trap 'rm -f "$log"' EXIT
if ! { cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release &&
    cmake --build "$build_dir" --target thumbnail_bench -j "$(nproc)"; } >"$log" 2>&1; then
    tail -n 20 "$log" >&2
    die "the build failed"
fi

args=(--runs "$runs")
[ -n "$work" ] && args+=(--work "$work")
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
report=$("$build_dir/bench/thumbnail_bench" "${args[@]}")
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
report="$report

Run on $(date -u '+%Y-%m-%d %H:%M UTC'); load average before $load_before, after $load_after."
printf '%s\n' "$report"

if [ "$write_readme" = 1 ]; then
    readme="$here/README.md"
    section="## Thumbnails

\`LoadFitted\` (collection/thumbnail.h) into 96 × 96, against the same picture decoded at
full size by TurboJPEG and rescaled with the same bicubic filter, and against
\`vipsthumbnail --size 96x96\` making the same thumbnails, once with one process per picture
(its start-up counted in) and once with five pictures per process (its start-up shared
out; the figure is per picture, and it is the one the aim is judged by). Each repetition
runs all contenders on a photograph, in an order that turns from one repetition to the
next; the figures are medians. The photographs are made at run
time (tjCompress2, quality 90, 4:2:0, grain and edges that make the data about as dense as
a camera's: 2.1 bits per pixel). Reproduce with:

    bench/thumbnail_bench.sh --write-readme

$report

Where the time goes: a decode at 1/8 saves the inverse DCT, the colour conversion and the
rescaling of the full picture, but TurboJPEG still has to undo the Huffman coding of every
coefficient in the file, and for data this dense that is most of a decode (compare
LoadFitted with the decoding part of the full path). That is why baseline files stay short
of 10 times the speed of the full path. Progressive files are worse off: TurboJPEG 2.1
decodes them scan by scan into a coefficient buffer of the whole picture at any reduction,
so the saving is only the rescale. A further step for them would be to leave out, before
decoding, the AC scans that a reduced decode never reads (at 1/8 the full-resolution
components need their DC coefficients only). vipsthumbnail also decodes at a reduction, and
uses both cores. Other programs running on the machine show in the load average above;
they make the figures vary by some 20 % from run to run."
    # The section is the last of the file: everything from its heading on is replaced.
    kept=""
    if [ -f "$readme" ]; then
        kept=$(sed '/^## Thumbnails$/,$d' "$readme")
    fi
    if [ -n "$kept" ]; then
        printf '%s\n\n%s\n' "$kept" "$section" >"$readme.new"
    else
        printf '%s\n' "$section" >"$readme.new"
    fi
    mv "$readme.new" "$readme"
    echo "thumbnail_bench: wrote the figures into $readme" >&2
fi
