#!/usr/bin/env bash
# Times the lossless transforms of turnwise against jpegtran, side by side in one run.
#
#   bench/transform_bench.sh [options]
#
#   --turnwise PATH   the turnwise to measure (default: build it in Release, see --build-dir)
#   --build-dir DIR   where to build it (default: build-bench/ in the source tree)
#   --runs N          timed repetitions of each one-file case (default 15)
#   --batch-runs N    timed repetitions of each batch command (default 5)
#   --batch-files N   files in the batch (default 120)
#   --quick           3 one-file runs, 2 batch runs of 24 files: checks the script, not the figures
#   --wait-idle S     before each timed run wait, up to S seconds, until the other processes
#                     on the machine leave the processors idle (for shared machines)
#   --only PART       measure only "one-file" (single files, flip and turn) or "batch"
#   --work DIR        keep the test photographs and raw timings in DIR (default: a fresh
#                     temporary folder, removed at the end)
#   --write-readme    also replace the figures in bench/README.md with this run's
#
# Needs jpegtran, cjpeg and a C compiler (scripts/bootstrap --bench installs them) and, to
# build turnwise, cmake and ninja. Prints a Markdown report on standard output; progress
# goes to standard error. Nothing in the source tree is written except the build folder
# and, with --write-readme, bench/README.md.
#
# Every case runs the commands under comparison in turn, once each per repetition, with
# the order alternating from one repetition to the next, so that a burst of load from
# elsewhere on the machine falls on both alike. Figures are medians; ratios are turnwise
# divided by the peer, so below 1 means turnwise is faster or smaller.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)

turnwise=""
build_dir="$root/build-bench"
runs=15
batch_runs=5
batch_files=120
work=""
write_readme=0
wait_idle=0
only=""

usage() { sed -n '2,/^set -euo/p' "$0" | sed -e '/^set -euo/d' -e 's/^# \{0,1\}//'; }
die() { echo "transform_bench: $*" >&2; exit 1; }
say() { echo "transform_bench: $*" >&2; }

while [ $# -gt 0 ]; do
    case $1 in
    --turnwise) turnwise=$2; shift 2 ;;
    --build-dir) build_dir=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --batch-runs) batch_runs=$2; shift 2 ;;
    --batch-files) batch_files=$2; shift 2 ;;
    --quick) runs=3; batch_runs=2; batch_files=24; shift ;;
    --work) work=$2; shift 2 ;;
    --wait-idle) wait_idle=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    --write-readme) write_readme=1; shift ;;
    -h|--help) usage; exit 0 ;;
    *) usage >&2; exit 2 ;;
    esac
done
for n in "$runs" "$batch_runs" "$batch_files" "$wait_idle"; do
    case $n in ''|*[!0-9]*) die "counts must be whole numbers, not '$n'" ;; esac
done
if [ "$runs" -eq 0 ] || [ "$batch_runs" -eq 0 ] || [ "$batch_files" -eq 0 ]; then
    die "the counts of runs and files must be positive"
fi

do_one_file=1
do_batch=1
case $only in
'') ;;
one-file) do_batch=0 ;;
batch) do_one_file=0 ;;
*) die "--only takes one-file or batch, not '$only'" ;;
esac
[ -z "$only" ] || [ "$write_readme" = 0 ] || die "--write-readme needs the whole benchmark, not --only"

for tool in jpegtran cjpeg cc; do
    command -v "$tool" >/dev/null || die "$tool is missing; run scripts/bootstrap --bench"
done

# --- the work folder: helpers, photographs, outputs, raw timings --------------------------
if [ -z "$work" ]; then
    work=$(mktemp -d "${TMPDIR:-/tmp}/transform-bench.XXXXXX")
    trap 'rm -rf "$work"' EXIT
else
    mkdir -p "$work"
    work=$(cd "$work" && pwd)
    # Only a folder this script made (or an empty one) is cleared and reused.
    if [ -n "$(ls -A "$work")" ] && [ ! -e "$work/.transform-bench" ]; then
        die "$work is not empty and was not made by this script"
    fi
fi
touch "$work/.transform-bench"
mkdir -p "$work/bin" "$work/photos" "$work/out" "$work/tmp" "$work/times"
rm -rf "$work/out"/* "$work/tmp"/* "$work/times"/*
# Both tools keep their intermediate files of a two-pass save in the same folder.
export TMPDIR="$work/tmp"

# --- turnwise, built in Release unless given ---------------------------------------------
if [ -z "$turnwise" ]; then
    if ! command -v cmake >/dev/null || ! command -v ninja >/dev/null; then
        die "cmake and ninja are missing; run scripts/bootstrap"
    fi
    say "building turnwise (Release) in $build_dir"
    if ! { cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release &&
        cmake --build "$build_dir" --target turnwise -j "$(nproc)"; } >"$work/build.log" 2>&1; then
        tail -n 20 "$work/build.log" >&2
        die "the build failed (or give a turnwise with --turnwise PATH)"
    fi
    turnwise="$build_dir/cli/turnwise"
fi
[ -x "$turnwise" ] || die "$turnwise is not a program"
turnwise=$(cd "$(dirname "$turnwise")" && pwd)/$(basename "$turnwise")
jpegtran=$(command -v jpegtran)

cc -O2 -o "$work/bin/measure" "$here/measure.c"
cc -O2 -o "$work/bin/make_photo" "$here/make_photo.c" -lm
measure="$work/bin/measure"

# make_photo_jpeg NAME WIDTH HEIGHT SEED CJPEG-OPTIONS...
make_photo_jpeg() {
    local name=$1 width=$2 height=$3 seed=$4
    shift 4
    local jpeg="$work/photos/$name.jpg"
    [ -s "$jpeg" ] && return 0
    say "making $name.jpg ($width x $height, cjpeg $*)"
    "$work/bin/make_photo" "$width" "$height" "$seed" "$work/photos/$name.ppm"
    cjpeg "$@" -outfile "$jpeg" "$work/photos/$name.ppm"
    rm -f "$work/photos/$name.ppm"
}

# name, description, width, height, seed, cjpeg options
photos=(
    "p24-420|24 MP, 4:2:0, baseline|6000|4000|1|-quality 95"
    "p12-prog|12 MP, 4:2:0, progressive|4032|3024|2|-quality 95 -progressive"
    "p12-444|12 MP, 4:4:4, baseline|4032|3024|3|-quality 95 -sample 1x1"
)
if [ "$do_one_file" = 1 ]; then
    for entry in "${photos[@]}"; do
        IFS='|' read -r name _ width height seed options <<<"$entry"
        # shellcheck disable=SC2086
        make_photo_jpeg "$name" "$width" "$height" "$seed" $options
    done
fi
if [ "$do_batch" = 1 ]; then
    make_photo_jpeg batch-source 4032 3024 4 -quality 95
    mkdir -p "$work/batch"
    for ((i = 0; i < batch_files; i++)); do
        copy=$(printf '%s/batch/photo%04d.jpg' "$work" "$i")
        [ -s "$copy" ] || cp "$work/photos/batch-source.jpg" "$copy"
    done
    find "$work/batch" -name 'photo*.jpg' | sort | tail -n +$((batch_files + 1)) | xargs -r rm -f
fi


# --- measuring ----------------------------------------------------------------------------
# A variant of a case is a function argv_VARIANT that sets `cmd` to a command line writing
# into the empty folder $out. Where one call does the job the program is run directly;
# where the peer needs several calls they run in sh, as they would in a user's script.
# shellcheck disable=SC2016 # these expand in that sh, from its own arguments
two_pass_script='"$1" -copy all $2 -outfile "$5" "$4" && "$1" -copy all $3 -outfile "$6" "$5"; s=$?; rm -f "$5"; exit $s'
# shellcheck disable=SC2016
loop_script='for f in "$2"/*.jpg; do "$1" -copy all -rotate 90 -outfile "$3/${f##*/}" "$f" || exit 1; done'
# shellcheck disable=SC2016
xargs_script='cd "$2" && find . -name "*.jpg" -print0 | xargs -0 -P 2 -I{} "$1" -copy all -rotate 90 -outfile "$3/{}" {}'

argv_turnwise() { cmd=("$turnwise" "${tw_options[@]}" -o "$out" "$source"); }
argv_jpegtran() { cmd=("$jpegtran" -copy all "${jt_first_words[@]}" -outfile "$out/${source##*/}" "$source"); }
argv_jpegtran2() {
    cmd=(sh -c "$two_pass_script" sh "$jpegtran" "$jt_first" "$jt_second" "$source" "$TMPDIR/two-pass.jpg"
        "$out/${source##*/}")
}
argv_turnwise_j2() { cmd=("$turnwise" --rotate 90 --jobs 2 -o "$out" "$work/batch"); }
argv_turnwise_j1() { cmd=("$turnwise" --rotate 90 --jobs 1 -o "$out" "$work/batch"); }
argv_jpegtran_loop() { cmd=(sh -c "$loop_script" sh "$jpegtran" "$work/batch" "$out"); }
argv_jpegtran_xargs() { cmd=(sh -c "$xargs_script" sh "$jpegtran" "$work/batch" "$out"); }

# busy_cores: how many processors the machine keeps busy over half a second.
busy_cores() {
    local before after
    before=$(awk '/^cpu / { print $2 + $3 + $4 + $7 + $8 + $9; exit }' /proc/stat)
    sleep 0.5
    after=$(awk '/^cpu / { print $2 + $3 + $4 + $7 + $8 + $9; exit }' /proc/stat)
    awk -v a="$before" -v b="$after" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f", (b - a) / hz / 0.5 }'
}

# settle: with --wait-idle, waits until the machine is quiet or the time is up.
waited_out=0
settle() {
    [ "$wait_idle" -gt 0 ] || return 0
    local deadline=$((SECONDS + wait_idle))
    until awk -v b="$(busy_cores)" 'BEGIN { exit !(b < 0.15) }'; do
        if [ "$SECONDS" -ge "$deadline" ]; then
            waited_out=$((waited_out + 1))
            return 0
        fi
    done
}

# run_once CASE VARIANT: one timed run into a fresh output folder. The output stays until
# the variant's next run; pending writes are flushed outside the timing.
run_once() {
    local case=$1 variant=$2
    out="$work/out/$variant"
    rm -rf "$out" && mkdir -p "$out"
    "argv_$variant"
    settle
    if ! "$measure" "$work/times/$case.$variant" "${cmd[@]}" >>"$work/log" 2>&1; then
        tail -n 5 "$work/log" >&2
        die "$case: $variant failed: ${cmd[*]}"
    fi
    sync
}

# compare CASE REPETITIONS VARIANT...: a warm-up run of each variant (which also checks
# that all of them wrote the same bytes), then the repetitions, interleaved.
compare() {
    local case=$1 reps=$2
    shift 2
    local variants=("$@") count=$# rep k v
    say "$case: ${variants[*]} x $reps"
    for v in "${variants[@]}"; do
        run_once "$case" "$v"
    done
    for v in "${variants[@]:1}"; do
        diff -rq "$work/out/${variants[0]}" "$work/out/$v" >/dev/null ||
            die "$case: ${variants[0]} and $v wrote different files; the timings would not compare like with like"
    done
    rm -f "$work/times/$case".*
    for ((rep = 0; rep < reps; rep++)); do
        for ((k = 0; k < count; k++)); do
            # The order turns round each repetition: AB, BA, AB... or ABC, BCA, CAB...
            run_once "$case" "${variants[$(((k + rep) % count))]}"
        done
    done
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
started=$(date -u '+%Y-%m-%d %H:%M UTC')

# name, label, turnwise options, jpegtran options of the first and second call
transforms=(
    "flip-h|flip h|--flip h|-flip horizontal|"
    "flip-v|flip v|--flip v|-flip vertical|"
    "rot90|rotate 90|--rotate 90|-rotate 90|"
    "rot180|rotate 180|--rotate 180|-rotate 180|"
    "rot270|rotate 270|--rotate 270|-rotate 270|"
    "fliph-rot90|flip h + rotate 90|--flip h --rotate 90|-flip horizontal|-rotate 90"
)
for entry in "${photos[@]}"; do
    [ "$do_one_file" = 1 ] || break
    IFS='|' read -r name _ <<<"$entry"
    source="$work/photos/$name.jpg"
    for t in "${transforms[@]}"; do
        IFS='|' read -r tname _ tw jt_first jt_second <<<"$t"
        read -r -a tw_options <<<"$tw"
        read -r -a jt_first_words <<<"$jt_first"
        if [ -n "$jt_second" ]; then
            compare "$name.$tname" "$runs" turnwise jpegtran2
        else
            compare "$name.$tname" "$runs" turnwise jpegtran
        fi
    done
done
if [ "$do_batch" = 1 ]; then
    compare batch "$batch_runs" turnwise_j2 jpegtran_loop turnwise_j1 jpegtran_xargs
fi

load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# --- the report ---------------------------------------------------------------------------
# median FILE COLUMN (1 wall seconds, 2 CPU seconds, 3 peak KiB, 4 user seconds,
# 5 system seconds, 6 cores the rest of the machine kept busy)
median() {
    awk -v c="$2" '{ print $c }' "$1" | sort -g |
        awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
# disturbance FILE...: "the median of the cores others kept busy, and in how many runs over half a core"
disturbance() {
    cat "$@" | awk '{ print $6 }' | sort -g |
        awk '{ v[NR] = $1; if ($1 > 0.5) busy++ }
             END { printf "%.2f cores (over half a core in %d of %d runs)", v[int((NR + 1) / 2)], busy, NR }'
}
# quartiles A B COLUMN: the first and third quartile of the run-by-run ratios A/B
quartiles() {
    paste -d' ' "$1" "$2" | awk -v c="$3" '{ print $c / $(c + 6) }' | sort -g |
        awk 'function at(p) { i = int(p * NR + 0.999999); return v[i < 1 ? 1 : i] }
             { v[NR] = $1 } END { printf "%.2f-%.2f", at(0.25), at(0.75) }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
ms() { awk -v s="$1" 'BEGIN { printf "%.0f", s * 1000 }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.0f", k / 1024 }'; }
within() { awk -v r="$1" -v aim="$2" 'BEGIN { exit !(r <= aim) }'; }

cpu_model=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
mem_total=$(awk '/^MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo)
# shellcheck disable=SC1091
os=$(. /etc/os-release 2>/dev/null && echo "${PRETTY_NAME:-unknown}")

report() {
    echo "Measured $started on $(nproc) cores ($cpu_model), $mem_total RAM, $os, Linux $(uname -r)."
    echo "$("$turnwise" --version | head -n 1) (Release build) against jpegtran of $("$jpegtran" -version 2>&1 | head -n 1)."
    echo "Load average (1, 5, 15 min) before: $load_before; after: $load_after."
    [ "$do_one_file" = 0 ] ||
        echo "Other processes kept busy a median of $(disturbance "$work/times"/p*.*) during the one-file runs."
    [ "$do_batch" = 0 ] ||
        echo "Other processes kept busy a median of $(disturbance "$work/times"/batch.*) during the batch runs."
    if [ "$wait_idle" -gt 0 ]; then
        echo "Each run first waited up to $wait_idle s for the other processes to leave the processors idle;"
        echo "$waited_out runs started without that."
    fi
    [ "$do_one_file" = 0 ] || echo "Medians of $runs interleaved runs per one-file case."
    [ "$do_batch" = 0 ] || echo "Medians of $batch_runs interleaved runs per batch command."
    echo
    echo "Test photographs (made by make_photo.c and cjpeg -quality 95):"
    echo
    local entry name label size pixels
    for entry in "${photos[@]}" "batch-source|12 MP, 4:2:0, baseline (the batch, $batch_files copies)|4032|3024"; do
        IFS='|' read -r name label width height _ <<<"$entry"
        [ -s "$work/photos/$name.jpg" ] || continue
        size=$(stat -c %s "$work/photos/$name.jpg")
        pixels=$((width * height))
        echo "- $label: ${width} x ${height}, $(awk -v s="$size" -v p="$pixels" \
            'BEGIN { printf "%.1f MB, %.1f bits per pixel", s / 1e6, s * 8 / p }')"
    done
    local t tname tlabel a b case time_ok=0 memory_ok=0 cases=0 worst_time=0 worst_memory=0
    if [ "$do_one_file" = 1 ]; then
        echo
        echo "#### One file"
        echo
        echo "Ratios are turnwise / jpegtran; \"middle half\" is the range of the middle half of the"
        echo "run-by-run time ratios, a measure of the noise. CPU is user plus system time; the user"
        echo "and system columns give turnwise / jpegtran. The jpegtran side of flip h + rotate 90"
        echo "is two jpegtran runs in a row through a temporary file."
        echo
        echo "| photo | transform | turnwise ms | jpegtran ms | time ratio | middle half | CPU ratio | user ms | system ms | turnwise MiB | jpegtran MiB | memory ratio |"
        echo "|---|---|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|"
        for entry in "${photos[@]}"; do
            IFS='|' read -r name label _ <<<"$entry"
            for t in "${transforms[@]}"; do
                IFS='|' read -r tname tlabel _ _ jt_second <<<"$t"
                case="$work/times/$name.$tname"
                a="$case.turnwise"
                b="$case.jpegtran"
                [ -n "$jt_second" ] && b="$case.jpegtran2"
                local tr mr
                tr=$(ratio "$(median "$a" 1)" "$(median "$b" 1)")
                mr=$(ratio "$(median "$a" 3)" "$(median "$b" 3)")
                echo "| $label | $tlabel | $(ms "$(median "$a" 1)") | $(ms "$(median "$b" 1)") | $tr | $(quartiles "$a" "$b" 1) | $(ratio "$(median "$a" 2)" "$(median "$b" 2)") | $(ms "$(median "$a" 4)") / $(ms "$(median "$b" 4)") | $(ms "$(median "$a" 5)") / $(ms "$(median "$b" 5)") | $(mib "$(median "$a" 3)") | $(mib "$(median "$b" 3)") | $mr |"
                cases=$((cases + 1))
                within "$tr" 1.05 && time_ok=$((time_ok + 1))
                within "$mr" 1.05 && memory_ok=$((memory_ok + 1))
                within "$tr" "$worst_time" || worst_time=$tr
                within "$mr" "$worst_memory" || worst_memory=$mr
            done
        done
    fi
    local loop="$work/times/batch.jpegtran_loop" v text speedup
    if [ "$do_batch" = 1 ]; then
        echo
        echo "#### A batch of $batch_files files (12 MP, rotate 90)"
        echo
        echo "| command | wall s | CPU s | peak MiB | time / loop | speed-up over loop |"
        echo "|---|--:|--:|--:|--:|--:|"
        for v in "turnwise_j2|turnwise --jobs 2" "jpegtran_loop|jpegtran, sequential shell loop" \
            "turnwise_j1|turnwise --jobs 1" "jpegtran_xargs|jpegtran, xargs -P 2"; do
            IFS='|' read -r v text <<<"$v"
            a="$work/times/batch.$v"
            echo "| $text | $(awk -v s="$(median "$a" 1)" 'BEGIN { printf "%.2f", s }') | $(awk -v s="$(median "$a" 2)" 'BEGIN { printf "%.2f", s }') | $(mib "$(median "$a" 3)") | $(ratio "$(median "$a" 1)" "$(median "$loop" 1)") | $(ratio "$(median "$loop" 1)" "$(median "$a" 1)") |"
        done
        speedup=$(ratio "$(median "$loop" 1)" "$(median "$work/times/batch.turnwise_j2" 1)")
    fi
    echo
    echo "#### Aims"
    echo
    local verdict
    if [ "$do_one_file" = 1 ]; then
        verdict=$([ "$time_ok" -eq "$cases" ] && echo met || echo "not met")
        echo "- One file within 5 % of jpegtran's time: $verdict ($time_ok of $cases cases; largest ratio $worst_time)."
        verdict=$([ "$memory_ok" -eq "$cases" ] && echo met || echo "not met")
        echo "- One file within 5 % of jpegtran's peak memory: $verdict ($memory_ok of $cases cases; largest ratio $worst_memory)."
    fi
    if [ "$do_batch" = 1 ]; then
        verdict=$(within 1.8 "$speedup" && echo met || echo "not met")
        echo "- Batch with --jobs 2 at least 1.8 times as fast as the sequential loop: $verdict (${speedup} times)."
    fi
}

report >"$work/report.md"
cat "$work/report.md"

if [ "$write_readme" = 1 ]; then
    readme="$here/README.md"
    begin='<!-- transform-figures:begin -->'
    end='<!-- transform-figures:end -->'
    if ! grep -qF "$begin" "$readme" || ! grep -qF "$end" "$readme"; then
        die "$readme lacks the markers $begin and $end"
    fi
    awk -v begin="$begin" -v end="$end" -v report="$work/report.md" '
        $0 == begin { print; while ((getline line < report) > 0) print line; skipping = 1; next }
        $0 == end { skipping = 0 }
        !skipping { print }' "$readme" >"$work/README.md"
    cat "$work/README.md" >"$readme"
    say "figures written to $readme"
fi
