#!/usr/bin/env bash
# pdfcompose-anchors.sh [WORKDIR]
#
# Times the PDF composition library against the tools a shop would otherwise
# use, in one run on this machine, on the reference workload of
# ../shared/bench (made by its make-workload.sh when missing; that needs
# ghostscript). Not part of the test suite.
#
#   T1 / A1   40 different 90 x 50 mm cards on a 650 x 465 mm sheet:
#             pdfcompose_bench sheet vs podofoimpose (when installed)
#   T2 / T2a  one card placed 40 times vs once: bytes per extra placement
#   T3 / C1   a preview of each of the 40 cards, one process per card:
#             pdfcompose_bench preview vs pdftoppm -r 96 -jpeg quality 100
#   T4 / C2   the 40 previews in one process, as the program renders them:
#             pdfcompose_bench preview vs one pdftoppm run over the 40 cards
#             merged into one file (merged by qpdf before the timing)
#   T5 / T5a  the 40 previews in one call, on every processor vs on one:
#             the whole process, and the call alone (as a running program
#             makes them; its render children start within the call)
#   T6 / T6a  the same call made a second time, timed alone: the render
#             children already run, as in a program that made previews before
#
# Each measurement: one warm-up run, then RUNS (6) timed runs taken
# round-robin. Wall time from bash's EPOCHREALTIME around /usr/bin/time -v,
# CPU time (user + system, children included) from /usr/bin/time: load on a
# shared machine stretches the wall time far more than the CPU time.
# Each measurement that compares a tool with another runs bound to one
# processor, the same one for all in a round and the next one in the next
# round: a virtual machine's processors can differ in speed by half from
# minute to minute, and unbound, a tool's processes land on whichever is
# idle, so that one tool would be timed on the fast processor and the other
# on the slow one. Bound, each tool runs on each processor equally often
# (keep RUNS a multiple of the processor count), and a tool of two processes
# (Tessel's render children) runs as one of one process does. T5 and T6 and
# their one-process references T5a and T6a run unbound, as a program does.
# PIN=0 leaves every measurement unbound.
# Env: RUNS, PIN, BUILD_DIR (default: build beside this folder).
# Needs: qpdf, poppler-utils, time; ghostscript for the workload;
# libpodofo-utils for the podofoimpose anchor.
set -euo pipefail
export LC_ALL=C

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
SHARED=${SHARED:-$ROOT/../shared/bench}
BUILD=${BUILD_DIR:-$ROOT/build}
BENCH=$BUILD/benchmarks/pdfcompose_bench
WORK=${1:-/tmp/impose-bench}
RUNS=${RUNS:-6}
PIN=${PIN:-1}
# The processors this script may run on, one a word.
mapfile -t CPUSET < <(taskset -pc $$ 2> /dev/null | sed 's/.*: //' | tr ',' '\n' |
  awk -F- '{ for (c = $1; c <= ($2 == "" ? $1 : $2); c++) print c }')
CPUS=${#CPUSET[@]}
[ "$CPUS" -gt 1 ] || PIN=0
[ -x "$BENCH" ] || { echo "build first: $BENCH is missing" >&2; exit 1; }
mkdir -p "$WORK"
WORK=$(cd "$WORK" && pwd)
if [ ! -f "$WORK/manifest.tsv" ]; then
    [ -x "$SHARED/make-workload.sh" ] || {
        echo "no workload in $WORK and no $SHARED/make-workload.sh to make one:" >&2
        echo "set SHARED=DIR to the shared benchmark folder, or put a workload" >&2
        echo "(orders/*.pdf with manifest.tsv) into $WORK" >&2
        exit 1
    }
    "$SHARED/make-workload.sh" "$WORK" 200
fi

O=$WORK/tessel-out
rm -rf "$O"; mkdir -p "$O/T3" "$O/T4" "$O/T5" "$O/T5a" "$O/C1" "$O/C2" "$O/logs"
mm() { awk -v v="$1" 'BEGIN { printf "%.4f", v * 72 / 25.4 }'; }
mapfile -t CARDS < <(awk -F'\t' -v d="$WORK/orders" \
  'NR > 1 && $2 == 90 && $3 == 50 && $4 == 1 { print d "/" $1 }' "$WORK/manifest.tsv" | head -40)
[ ${#CARDS[@]} -eq 40 ] || { echo "need 40 single-page 90x50 cards" >&2; exit 1; }
printf '%s\n' "${CARDS[@]}" | head -c -1 > "$O/cards40.lst"   # podofoimpose: no final newline
qpdf --empty --pages "${CARDS[@]}" -- "$O/cards40-merged.pdf"
{
  echo "\$PageWidth=$(mm 650)"; echo "\$PageHeight=$(mm 465)"
  for ((r = 0; r < 8; r++)); do for ((c = 0; c < 5; c++)); do
    echo "$((r * 5 + c + 1)); 1; 0; $(mm $((94 + c * 93))); $(mm $((22 + r * 53)));"
  done; done
} > "$O/grid40.plan"

IDS=(); NA=0
measure() {   # ID UNITS one|every -- argv...   (one: bound to one processor)
  local id=$1 units=$2 cpus=$3; shift 4
  if ! "$@" < /dev/null > /dev/null 2> "$O/logs/$id.err"; then
    echo "FAILED (warm-up): $id, see $O/logs/$id.err" >&2; return 0
  fi
  declare -g -a "ARGV_$NA=()"; local -n av=ARGV_$NA; av=("$@")
  IDS+=("$id"); declare -g "UNITS_$NA=$units" "CPUS_$NA=$cpus"; NA=$((NA + 1))
}
printf 'id\trun\twall_s\tmaxrss_kb\tcpu_s\n' > "$O/raw.tsv"
run_rounds() {
  local i r t0 t1
  for ((r = 1; r <= RUNS; r++)); do
    for ((i = 0; i < NA; i++)); do
      local -n av=ARGV_$i
      local cpus=CPUS_$i bind=()
      # Every measurement starts through taskset, so that all carry its cost.
      if [ "$PIN" = 1 ]; then
        [ "${!cpus}" = one ] && bind=(taskset -c "${CPUSET[r % CPUS]}") ||
          bind=(taskset -c "$(IFS=,; echo "${CPUSET[*]}")")
      fi
      t0=$EPOCHREALTIME
      "${bind[@]}" /usr/bin/time -v -o "$O/logs/time" "${av[@]}" < /dev/null \
        >> "$O/logs/${IDS[$i]}.out" 2>> "$O/logs/${IDS[$i]}.err"
      t1=$EPOCHREALTIME
      awk -v id="${IDS[$i]}" -v r="$r" -v t0="$t0" -v t1="$t1" -F': ' '
        /Maximum resident set size/ { rss = $2 } /User time|System time/ { cpu += $2 }
        END { printf "%s\t%d\t%.6f\t%d\t%.3f\n", id, r, t1 - t0, rss, cpu }' \
        "$O/logs/time" >> "$O/raw.tsv"
    done
  done
}

PPM='b=${1##*/}; exec pdftoppm -f 1 -l 1 -r 96 -jpeg -jpegopt quality=100 -singlefile "$1" "$0/${b%.pdf}"'
TPV='exec "$0" preview "$1" "$2"'
measure E0-harness-true 1 one -- /bin/true
command -v podofoimpose > /dev/null &&
  measure A1-podofoimpose-40up 40 one -- podofoimpose "$O/cards40.lst" "$O/A1-sheet40.pdf" "$O/grid40.plan"
measure T1-tessel-40up 40 one -- "$BENCH" sheet "$O/T1-sheet40.pdf" "${CARDS[@]}"
measure T2-tessel-one-card-40-times 40 one -- "$BENCH" repeat "$O/T2-repeat40.pdf" "${CARDS[0]}" 40
measure T2a-tessel-one-card-once 1 one -- "$BENCH" repeat "$O/T2a-repeat1.pdf" "${CARDS[0]}" 1
measure C1-pdftoppm-per-card 40 one -- xargs -a "$O/cards40.lst" -P1 -n1 sh -c "$PPM" "$O/C1"
measure T3-tessel-preview-per-card 40 one -- xargs -a "$O/cards40.lst" -P1 -n1 sh -c "$TPV" "$BENCH" "$O/T3"
measure C2-pdftoppm-one-process 40 one -- pdftoppm -r 96 -jpeg -jpegopt quality=100 \
  "$O/cards40-merged.pdf" "$O/C2/card"
measure T4-tessel-preview-one-process 40 one -- "$BENCH" preview "$O/T4" "${CARDS[@]}"
measure T5-tessel-previews-every-processor 40 every -- "$BENCH" previews "$O/T5" 0 "${CARDS[@]}"
measure T5a-tessel-previews-one-processor 40 every -- "$BENCH" previews "$O/T5a" 1 "${CARDS[@]}"
measure T6-tessel-previews-again-every-processor 40 every -- "$BENCH" previews-again "$O/T5" 0 "${CARDS[@]}"
measure T6a-tessel-previews-again-one-processor 40 every -- "$BENCH" previews-again "$O/T5a" 1 "${CARDS[@]}"
run_rounds

SUMMARY=$O/summary.tsv
awk -F'\t' -v units="$(for ((i = 0; i < NA; i++)); do v=UNITS_$i; printf '%s=%s,' "${IDS[$i]}" "${!v}"; done)" '
  BEGIN { n = split(units, a, ","); for (i = 1; i <= n; i++) { split(a[i], kv, "="); u[kv[1]] = kv[2] } }
  function median(a, n,   i, j, t) {
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }
  NR > 1 { k = $1; c[k]++; w[k, c[k]] = $3; p[k, c[k]] = $5; if ($4 > m[k]) m[k] = $4 }
  END {
    print "id\tmedian_ms\tmin_ms\tmax_ms\tms_per_unit\tcpu_ms\tcpu_ms_per_unit\tpeak_rss_mb"
    for (k in c) {
      for (i = 1; i <= c[k]; i++) { v[i] = w[k, i]; q[i] = p[k, i] }
      md = median(v, c[k]); cm = median(q, c[k])
      printf "%s\t%.1f\t%.1f\t%.1f\t%.2f\t%.1f\t%.2f\t%.1f\n", k, 1000 * md, 1000 * v[1], 1000 * v[c[k]], 1000 * md / u[k], 1000 * cm, 1000 * cm / u[k], m[k] / 1024
    }
  }' "$O/raw.tsv" | { read -r h; echo "$h"; sort; } > "$SUMMARY"

CARD_BYTES=$(cat "${CARDS[@]}" | wc -c)
SHEET=$(stat -c %s "$O/T1-sheet40.pdf")
R40=$(stat -c %s "$O/T2-repeat40.pdf"); R1=$(stat -c %s "$O/T2a-repeat1.pdf")
# The median of the call times a tool printed over the timed runs.
call_ms() {
  grep -h '^call_ms=' "$O/logs/$1.out" | cut -d= -f2 | sort -g |
    awk '{ v[NR] = $1 } END { if (NR) printf "%.1f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
ratio() { # ID-OF-TESSEL ID-OF-ANCHOR
  awk -F'\t' -v t="$1" -v a="$2" '$1 == t { x = $5; xc = $7 } $1 == a { y = $5; yc = $7 }
    END { if (x && y) printf "%s / %s: %.2f x wall, %.2f x CPU\n", t, a, x / y, yc ? xc / yc : 0 }' "$SUMMARY"
}
for f in "$O"/*.pdf; do qpdf --check "$f" > /dev/null || echo "qpdf --check failed: $f" >&2; done
{
  column -t -s $'\t' "$SUMMARY"
  echo
  echo "40 cards: $CARD_BYTES bytes of sources; Tessel's sheet: $SHEET bytes" \
       "($(awk -v a="$SHEET" -v b="$CARD_BYTES" 'BEGIN { printf "%.3f", a / b }') x)"
  [ -f "$O/A1-sheet40.pdf" ] && echo "podofoimpose's sheet: $(stat -c %s "$O/A1-sheet40.pdf") bytes"
  echo "one card 40 times: $R40 bytes, once: $R1 bytes:" \
       "$(awk -v a="$R40" -v b="$R1" 'BEGIN { printf "%.1f", (a - b) / 39 }') bytes per extra placement"
  ratio T1-tessel-40up A1-podofoimpose-40up
  ratio T3-tessel-preview-per-card C1-pdftoppm-per-card
  ratio T4-tessel-preview-one-process C2-pdftoppm-one-process
  ratio T5-tessel-previews-every-processor T5a-tessel-previews-one-processor
  call_ratio() { # LABEL ID-EVERY ID-ONE
    local every one; every=$(call_ms "$2"); one=$(call_ms "$3")
    [ -n "$every" ] && [ -n "$one" ] &&
      echo "$1: every processor $every ms, one $one ms:" \
           "$(awk -v a="$every" -v b="$one" 'BEGIN { printf "%.2f", a / b }') x"
  }
  call_ratio "the 40 previews, the call alone" T5-tessel-previews-every-processor \
    T5a-tessel-previews-one-processor
  call_ratio "the 40 previews again, children running" T6-tessel-previews-again-every-processor \
    T6a-tessel-previews-again-one-processor
} | tee "$O/summary.txt"
