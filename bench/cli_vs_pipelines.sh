#!/usr/bin/env bash
# tavrin-links-cli against the shell pipelines a user would otherwise write,
# side by side, against one loopback web site (bench/page_server):
#   (a) the lessons of a 20,000-lesson course page: `tavrin-links-cli lessons`
#       vs curl | iconv | grep -P (and the same for a 200-lesson page, where
#       starting the processes is most of the work);
#   (b) the addresses of 200 lesson pages that answer after 50 ms each:
#       `tavrin-links-cli resolve` vs a sequential curl loop and vs xargs -P 6 curl;
#   (c) the peak memory (maximum resident set) and processor time of each (GNU time).
# Each way's output is checked against the others' before anything is timed.
#
#   bench/cli_vs_pipelines.sh [BUILD_DIR]
# BUILD_DIR (default build/bench) must be configured with -DTAVRIN_BUILD_BENCHMARKS=ON;
# it is built first. RUNS (default 5) sets how many timed runs each way gets;
# the median is reported. Needs curl, iconv, GNU grep and GNU time
# (scripts/install-deps.sh bench).
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/bench}
runs=${RUNS:-5}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRIN_BUILD_GUI=OFF \
        -DTAVRIN_BUILD_TESTS=OFF -DTAVRIN_BUILD_BENCHMARKS=ON >/dev/null
fi
cmake --build "$build" --target tavrin-links-cli page_server >/dev/null
cli=$PWD/$build/src/cli/tavrin-links-cli
gnu_time=/usr/bin/time
for tool in curl iconv grep xargs "$gnu_time"; do
  command -v "$tool" >/dev/null || { echo "missing: $tool (scripts/install-deps.sh bench)" >&2; exit 1; }
done

work=$(mktemp -d)
server_pid=
cleanup() {
  exec 3>&- 2>/dev/null || true
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The server lives as long as this script holds its standard input open.
mkfifo "$work/server_in"
"$build/bench/page_server" <"$work/server_in" >"$work/origin" &
server_pid=$!
exec 3>"$work/server_in"
for _ in $(seq 100); do
  [ -s "$work/origin" ] && break
  sleep 0.1
done
origin=$(head -n1 "$work/origin")
case "$origin" in
  http://127.0.0.1:*) ;;
  *) echo "the page server did not start" >&2; exit 1 ;;
esac
export no_proxy=127.0.0.1 NO_PROXY=127.0.0.1

course_url=$origin/course
seq 100001 100200 | sed "s#^#$origin/lesson/#" >"$work/urls"
address_pattern='http://res\.tavrin\.com/resources/[^"]*'
# The lesson pattern with the same three groups; \K and the look-ahead leave
# out the parts around them that the listing does not print either. grep reads
# bytes (LC_ALL=C), since the page is GB18030 by then.
lesson_pattern='<span class="kc_ls">\K(.*?)</span><a target="_blank" href="(/lesson/.*?)" class="f_l thumbnail">(.*?)(?=<span>)'

cli_lessons() { "$cli" lessons "${1:-$course_url}"; }
pipeline_lessons() {
  curl -s "${1:-$course_url}" | iconv -f UTF-8 -t GB18030 | LC_ALL=C grep -aoP "$lesson_pattern"
}
cli_lessons_200() { cli_lessons "$course_url-200"; }
pipeline_lessons_200() { pipeline_lessons "$course_url-200"; }
cli_resolve() { "$cli" resolve <"$work/urls"; }
loop_resolve() {
  while IFS= read -r url; do curl -s "$url" | grep -o -m1 "$address_pattern"; done <"$work/urls"
}
xargs_resolve() { xargs -P 6 -n 1 curl -s <"$work/urls" | grep -o "$address_pattern"; }

# --- the outputs agree ------------------------------------------------------
cli_lessons >"$work/cli_lessons"
pipeline_lessons >"$work/pipeline_lessons"
[ "$(cli_lessons_200 | wc -l)" -eq 200 ] && [ "$(pipeline_lessons_200 | wc -l)" -eq 200 ] || {
  echo "the 200-lesson page does not give 200 lessons both ways" >&2; exit 1; }
cli_resolve >"$work/cli_resolve"
loop_resolve >"$work/loop_resolve"
xargs_resolve >"$work/xargs_resolve"

lessons_cli=$(wc -l <"$work/cli_lessons")
lessons_pipeline=$(wc -l <"$work/pipeline_lessons")
[ "$lessons_cli" -eq 20000 ] && [ "$lessons_pipeline" -eq "$lessons_cli" ] || {
  echo "lesson counts differ: cli $lessons_cli, pipeline $lessons_pipeline" >&2; exit 1; }
# The same links in the same order.
cmp -s <(cut -f3 "$work/cli_lessons" | sed "s#^http://www.tavrin.com##") \
       <(LC_ALL=C grep -ao 'href="/lesson/[^"]*' "$work/pipeline_lessons" | cut -c7-) || {
  echo "the lesson links differ" >&2; exit 1; }
[ "$(wc -l <"$work/cli_resolve")" -eq 200 ] && cmp -s "$work/cli_resolve" "$work/loop_resolve" || {
  echo "resolve: the sequential loop gave other addresses" >&2; exit 1; }
cmp -s <(sort "$work/cli_resolve") <(sort "$work/xargs_resolve") || {
  echo "resolve: xargs -P 6 gave other addresses" >&2; exit 1; }
echo "outputs agree: $lessons_cli lessons both ways; 200 identical addresses three ways (xargs out of order)"

# --- time -------------------------------------------------------------------
# Median wall time in milliseconds of `runs` runs of a function, output discarded.
median_ms() {
  local times=() start end
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$1" >/dev/null
    end=$(date +%s%N)
    times+=($(((end - start) / 1000000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

t_cli_lessons=$(median_ms cli_lessons)
t_pipeline_lessons=$(median_ms pipeline_lessons)
t_cli_lessons_200=$(median_ms cli_lessons_200)
t_pipeline_lessons_200=$(median_ms pipeline_lessons_200)
t_cli_resolve=$(median_ms cli_resolve)
t_loop_resolve=$(median_ms loop_resolve)
t_xargs_resolve=$(median_ms xargs_resolve)

# --- peak memory and processor time ----------------------------------------
# GNU time on each process, one by one, for the peak resident set (KiB): a
# pipeline's stages run at once, so the sum of their peaks is what the
# pipeline holds at its peak. Processor time (user + system, in ms) is taken
# for each way as a whole by the shell's `time`, which counts every process
# that the way started.
peak() { "$gnu_time" -f %M -a -o "$work/$1" "${@:2}"; }
peak_of() { sort -n "$work/$1" | tail -n1; }
cpu_ms() {
  local TIMEFORMAT='%3U %3S'
  { time "$1" >/dev/null; } 2>"$work/cpu"
  awk '{ printf "%d", ($1 + $2) * 1000 }' "$work/cpu"
}

peak p_cli_lessons "$cli" lessons "$course_url" >/dev/null
peak p_curl curl -s "$course_url" | peak p_iconv iconv -f UTF-8 -t GB18030 |
  LC_ALL=C peak p_grep grep -aoP "$lesson_pattern" >/dev/null
peak p_cli_resolve "$cli" resolve <"$work/urls" >/dev/null
while IFS= read -r url; do
  peak p_loop_curl curl -s "$url" | peak p_loop_grep grep -o -m1 "$address_pattern"
done <"$work/urls" >/dev/null
xargs -P 6 -n 1 "$gnu_time" -f %M -a -o "$work/p_xargs_curl" curl -s <"$work/urls" |
  peak p_xargs_grep grep -o "$address_pattern" >/dev/null

m_cli_lessons=$(peak_of p_cli_lessons)
m_pipeline=$(($(peak_of p_curl) + $(peak_of p_iconv) + $(peak_of p_grep)))
m_cli_resolve=$(peak_of p_cli_resolve)
m_loop=$(($(peak_of p_loop_curl) + $(peak_of p_loop_grep)))
# Six curls at once and grep; xargs itself is left out, so this is a lower bound.
m_xargs=$((6 * $(peak_of p_xargs_curl) + $(peak_of p_xargs_grep)))
c_cli_lessons=$(cpu_ms cli_lessons)
c_pipeline=$(cpu_ms pipeline_lessons)
c_cli_resolve=$(cpu_ms cli_resolve)
c_loop=$(cpu_ms loop_resolve)
c_xargs=$(cpu_ms xargs_resolve)

# --- report -----------------------------------------------------------------
row() { printf '%-52s %8s %10s %8s\n' "$@"; }
echo
echo "wall: median of $runs runs; peak: maximum resident set; cpu: user + system of one run"
row "" "wall ms" "peak KiB" "cpu ms"
row "(a) tavrin-links-cli lessons (20,000 lessons)" "$t_cli_lessons" "$m_cli_lessons" "$c_cli_lessons"
row "    curl | iconv | grep -aoP" "$t_pipeline_lessons" "$m_pipeline" "$c_pipeline"
row "    tavrin-links-cli lessons (200 lessons)" "$t_cli_lessons_200" "" ""
row "    curl | iconv | grep -aoP (200 lessons)" "$t_pipeline_lessons_200" "" ""
row "(b) tavrin-links-cli resolve (200 pages, 50 ms each)" "$t_cli_resolve" "$m_cli_resolve" "$c_cli_resolve"
row "    sequential curl | grep loop" "$t_loop_resolve" "$m_loop" "$c_loop"
row "    xargs -P 6 curl | grep" "$t_xargs_resolve" "$m_xargs" "$c_xargs"
echo "    peaks of the pipelines, added up: curl $(peak_of p_curl) + iconv $(peak_of p_iconv) + grep $(peak_of p_grep);"
echo "    curl $(peak_of p_loop_curl) + grep $(peak_of p_loop_grep); 6 x curl $(peak_of p_xargs_curl) + grep $(peak_of p_xargs_grep)"
echo
echo "ratios, pipeline / cli (above 1: the cli is faster or smaller)"
echo "(a) lessons vs curl|iconv|grep:  wall $(ratio "$t_pipeline_lessons" "$t_cli_lessons") (goal: at least 1)," \
     "cpu $(ratio "$c_pipeline" "$c_cli_lessons"), memory $(ratio "$m_pipeline" "$m_cli_lessons")"
echo "    lessons, 200-lesson page:    wall $(ratio "$t_pipeline_lessons_200" "$t_cli_lessons_200")"
echo "(b) resolve vs sequential loop:  wall $(ratio "$t_loop_resolve" "$t_cli_resolve") (goal: at least 5)," \
     "cpu $(ratio "$c_loop" "$c_cli_resolve"), memory $(ratio "$m_loop" "$m_cli_resolve")"
echo "    resolve vs xargs -P 6:       wall $(ratio "$t_xargs_resolve" "$t_cli_resolve") (goal: at least 1)," \
     "cpu $(ratio "$c_xargs" "$c_cli_resolve"), memory $(ratio "$m_xargs" "$m_cli_resolve")"
