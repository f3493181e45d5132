#!/bin/bash
# Footprint and speed of the launcher under Wine, for each build that this
# machine runs (scripts/wine_builds.sh; CORVANE_BUILDS narrows it), every
# figure named with its build:
#   1. size of the exe and of the console launcher, with and without their
#      icon resources;
#   2. start-up: median wall time, in interleaved rounds, of
#        (a) the launcher with a large configuration (100 vmparam lines, 100 jars,
#            10 include files, a javaVersion resolved over 50 installed versions)
#            starting a stand-in javaw.exe that ends at once,
#        (b) the least launcher possible starting the same command line,
#        (c) the stand-in started directly with that command line;
#      and the span from image loaded to CreateProcessA of (a) and (b), from
#      Wine's timestamped trace: the launcher's own work;
#   3. while Java runs: resident memory and CPU time of the waiting launcher
#      (and of the least launcher, for comparison);
#   4. the Java search: 12 runtimes registered across the vendors, in HKLM and
#      HKCU and in both views, each home with a stand-in javaw.exe and a release
#      file, and a configuration with minJava; start-up of
#        (s) the launcher searching,
#        (p) the launcher with the same configuration, the search's line
#            replaced by a javapath line naming the Java it finds,
#        (t) the least launcher starting the same command line;
#      and the own-work spans of s, p and t: s - p is the search's own time.
# Before measuring, it checks the command line the stand-in receives and that
# the launcher writes its trace lines in fewer writes than lines.
# Everything runs in a private 64-bit Wine prefix and X display under /tmp,
# removed at the end, through the 64-bit loader (a 32-bit program starts from
# there as on 64-bit Windows). Usage: bench/wine_startup.sh [rounds]   (default 60)
# LAUNCHER=path/launcher.exe measures that exe instead of the build's own (for
# comparing two versions; name its build in CORVANE_BUILDS); the other
# programs still come from build/<build>. LEAST=path/least.exe likewise
# replaces the least launcher (say, one that starts Java without a job, to
# see what the job costs).
# Everything runs on one CPU (bench/one_cpu.sh).
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/one_cpu.sh"

rounds=${1:-60}
warmup=3
builds=$("$root/scripts/wine_builds.sh") || exit 1
work=$(mktemp -d /tmp/corvane-bench.XXXXXX)
wine64=/usr/lib/wine/wine64
wineserver64=/usr/lib/wine/wineserver64
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=""
cleanup() {
  "$wineserver64" -k 2>/dev/null || true  # this prefix's server and its processes only
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

say() { printf '%s\n' "$*" >&2; }
. "$root/bench/proc_sample.sh"  # cpu_ns, switches, rss_kib, thread_count
wine() { "$wine64" "$@"; }  # never Debian's wine script, which picks the 32-bit loader
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }

# Builds one preset, then copies its programs to $work/<build> while still
# holding the build lock, so that another build cannot replace them half-way.
build() {
  say "building the $1 preset"
  mkdir -p "$work/$1"
  (cd "$root" && flock /tmp/corvane-build.lock sh -c '
    cmake --preset $1 -DCORVANE_BENCH=ON >/dev/null && cmake --build --preset $1 >/dev/null &&
    cp build/$1/launcher.exe build/$1/launcherc.exe build/$1/bench/javaw.exe \
      build/$1/bench/least_launcher.exe "$2"' \
    sh "$1" "$work/$1")
  if [ -n "${LAUNCHER:-}" ]; then cp "$LAUNCHER" "$work/$1/launcher.exe"; fi
  if [ -n "${LEAST:-}" ]; then cp "$LEAST" "$work/$1/least_launcher.exe"; fi
}

# The programs of one build, and where its programs read HKLM\SOFTWARE.
use_build() {
  build=$1
  exe=$work/$build/launcher.exe
  standin=$work/$build/javaw.exe
  least=$work/$build/least_launcher.exe
  case $build in
    win32) software='SOFTWARE\Wow6432Node' objdump=i686-w64-mingw32-objdump ;;
    win64) software='SOFTWARE' objdump=x86_64-w64-mingw32-objdump ;;
  esac
}

start_display() {
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { say "Xvfb did not start"; exit 1; }
  export DISPLAY=:$(cat "$work/display")
}

# The registry holds 50 runtime versions, in the view the build reads;
# javaVersion 1.4.2_05+ resolves to 1.4.2_24.
write_registry() {
  local root_key="HKEY_LOCAL_MACHINE\\$software\\JavaSoft\\Java Runtime Environment"
  {
    echo 'REGEDIT4'
    echo '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]'
    echo '"Managed"="N"'
    echo '[HKEY_CURRENT_USER\Software\Wine\WineDbg]'
    echo '"ShowCrashDialog"=dword:00000000'
    echo '[HKEY_CURRENT_USER\Software\Wine\Debug]'
    echo '"RelayInclude"="KERNEL32.WriteFile"'
    search_roots | sed 's/^/[-/; s/$/]/'
    echo "[$root_key]"
    echo '"CurrentVersion"="1.4"'
    for family in 1.4.2 1.5.0; do
      for patch in $(seq -w 0 24); do
        echo "[$root_key\\${family}_$patch]"
        echo "\"JavaHome\"=\"C:\\\\bench\\\\jre${family}_$patch\""
      done
    done
  } >"$work/runtimes.reg"
  wine regedit /S "$(windows_path "$work/runtimes.reg")"
}

# C:\bench\app\benchapp.exe (the launcher) with benchapp.config, 10 include
# files of 10 vmparam lines each, and lib\ with 100 jars; the stand-in as the
# javaw.exe of the runtime the resolution picks; the least launcher beside it.
write_application() {
  local bench=$WINEPREFIX/drive_c/bench
  mkdir -p "$bench/app/conf" "$bench/app/lib" "$bench/jre1.4.2_24/bin"
  cp "$exe" "$bench/app/benchapp.exe"
  cp "$standin" "$bench/jre1.4.2_24/bin/javaw.exe"
  cp "$least" "$bench/least.exe"
  for jar in $(seq -w 1 100); do : >"$bench/app/lib/library-$jar.jar"; done
  : >"$bench/app/lib/readme.txt"
  {
    echo '// benchmark application'
    echo 'appname Bench App'
    echo 'mainclass com.example.bench.Main'
    echo 'javaVersion 1.4.2_05+'
    echo 'addpath classes'
    echo 'addjars lib'
    for part in $(seq -w 1 10); do echo "include conf\\part$part.config"; done
    echo 'consoleTitle Bench App'
  } >"$bench/app/benchapp.config"
  for part in $(seq -w 1 10); do
    {
      echo "# settings part $part"
      for line in $(seq 0 9); do
        if [ $((line % 2)) = 0 ]; then
          echo "vmparam -Dbench.part$part.home$line=\$BENCH_HOME\\data$line"
        else
          echo "vmparam -Dbench.part$part.option$line=value$line"
        fi
      done
    } >"$bench/app/conf/part$part.config"
  done
  export BENCH_HOME='C:\bench\app'
}

# Runs the launcher once with the stand-in recording its command line, checks
# that the whole configuration made it in, and keeps the command line's words.
check_and_record() {
  STANDIN_RECORD='C:\bench\command.txt' wine 'C:\bench\app\benchapp.exe' >/dev/null
  local line
  line=$(cat "$WINEPREFIX/drive_c/bench/command.txt")
  local vmparams jars
  vmparams=$(grep -o ' -Dbench\.' <<<"$line" | wc -l)
  jars=$(grep -o 'lib/library-[0-9]*\.jar' <<<"$line" | wc -l)
  case "$line" in 'C:\bench\jre1.4.2_24\bin\javaw.exe '*) ;; *)
    say "unexpected command line: ${line:0:80}"; exit 1 ;;
  esac
  if [ "$vmparams" != 100 ] || [ "$jars" != 100 ]; then
    say "command line holds $vmparams VM parameters and $jars jars, not 100 each"; exit 1
  fi
  say "launcher started: ${line:0:60}... (${#line} characters, 100 VM parameters, 100 jars)"
  read -r -a command_words <<<"$line"
}

# Trace lines must leave the launcher in few writes (they gather in standard
# output's buffer until the launcher starts Java), also when standard output
# is a character device (here /dev/null), which the C runtime leaves
# unbuffered and would write byte by byte. Writes are counted with Wine's relay
# trace, which the registry limits to WriteFile.
check_output_writes() {
  local lines writes
  wine 'C:\bench\app\benchapp.exe' >"$work/trace.txt"
  lines=$(wc -l <"$work/trace.txt")
  WINEDEBUG=+relay wine 'C:\bench\app\benchapp.exe' 2>"$work/relay.txt" >/dev/null
  writes=$(grep -c 'Call KERNEL32.WriteFile' "$work/relay.txt" || true)
  say "standard output: $lines trace lines in $writes writes"
  if [ "$writes" -ge "$lines" ]; then
    say "the launcher writes its output piecemeal"
    [ -n "${LAUNCHER:-}" ] || exit 1  # an older build being compared may still do so
  fi
}

# Milliseconds of wall time of one run; fails the script on a non-zero status.
time_run() {
  local start end
  start=$EPOCHREALTIME
  case $1 in
    a) wine 'C:\bench\app\benchapp.exe' >/dev/null ;;
    b) wine 'C:\bench\least.exe' "${command_words[@]}" >/dev/null ;;
    c) wine "${command_words[@]}" >/dev/null ;;
    s) wine 'C:\bench\search\searchapp.exe' >/dev/null ;;
    p) wine 'C:\bench\search\pathapp.exe' >/dev/null ;;
    t) wine 'C:\bench\least.exe' "${search_words[@]}" >/dev/null ;;
  esac || { say "variant $1 ended with status $?"; return 1; }
  end=$EPOCHREALTIME
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.1f\n", (e - s) * 1000 }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# Line by line, the quotient (/) or difference (-) of two files of figures.
paired() { paste "$2" "$3" | awk -v op="$1" '{ if (op == "/") printf "%.3f\n", $1 / $2; else print $1 - $2 }'; }
quartiles() { sort -n | awk '{ v[NR] = $1 } END { printf "%s to %s", v[int(NR / 4) + 1], v[int(3 * NR / 4) + 1] }'; }

# Warm-up rounds, then $rounds rounds of the three variants in rotating order,
# each variant's times in $work/<variant>.ms.
interleave() {
  local orders=("$1 $2 $3" "$2 $3 $1" "$3 $1 $2") round variant
  for round in $(seq "$warmup"); do for variant in "$@"; do time_run $variant >/dev/null; done; done
  for variant in "$@"; do : >"$work/$variant.ms"; done
  for round in $(seq "$rounds"); do
    for variant in ${orders[$((round % 3))]}; do time_run $variant >>"$work/$variant.ms"; done
  done
}

# One table row: label, median and interquartile range of a file of figures.
row() { echo "| $1 | $(median <"$2") | $(quartiles <"$2") |"; }

measure_startup() {
  say "start-up: $warmup warm-up rounds, then $rounds rounds of a, b, c (order rotating)"
  interleave a b c
  local a b c
  a=$(median <"$work/a.ms"); b=$(median <"$work/b.ms"); c=$(median <"$work/c.ms")
  row "(a) launcher, large configuration" "$work/a.ms"
  row "(b) least launcher" "$work/b.ms"
  row "(c) stand-in javaw.exe alone" "$work/c.ms"
  paired / "$work/a.ms" "$work/b.ms" >"$work/ab.ratio"
  paired / "$work/a.ms" "$work/c.ms" >"$work/ac.ratio"
  echo
  awk -v a="$a" -v b="$b" -v c="$c" 'BEGIN { printf "ratios of the medians: a/b = %.3f, a/c = %.3f\n", a / b, a / c }'
  echo "medians of the ratios within a round: a/b = $(median <"$work/ab.ratio") ($(quartiles <"$work/ab.ratio"))," \
    "a/c = $(median <"$work/ac.ratio") ($(quartiles <"$work/ac.ratio")); $rounds rounds"
}

# Milliseconds from the program's image being loaded to its CreateProcessA
# call, from Wine's timestamped trace: the program's own start-up work. Both
# programs load the same DLLs (gdi32 brings advapi32 to the least launcher too).
# A 32-bit program started from the 64-bit loader is started by Wine's
# start.exe, whose own span comes first in the trace: each thread's span runs
# from its first loaded image, and start.exe's thread is passed over.
work_ms() {
  WINEDEBUG=+timestamp,+loaddll,+process wine "$@" 2>&1 >/dev/null |
    awk -F: '/loaddll:build_module Loaded/ && !($2 in start) { start[$2] = $1; starter[$2] = /start\.exe"/ }
             /CreateProcessInternalW app/ && !done && !starter[$2] { print int(($1 - start[$2]) * 1000 + 0.5); done = 1 }'
}

measure_work() {
  say "own work: $rounds rounds of a and b under Wine's timestamped trace"
  : >"$work/a.work"; : >"$work/b.work"
  for _ in $(seq "$rounds"); do
    work_ms 'C:\bench\app\benchapp.exe' >>"$work/a.work"
    work_ms 'C:\bench\least.exe' "${command_words[@]}" >>"$work/b.work"
  done
  paired - "$work/a.work" "$work/b.work" >"$work/difference.work"
  row "(a) launcher, large configuration" "$work/a.work"
  row "(b) least launcher" "$work/b.work"
  row "a - b, paired by round" "$work/difference.work"
}

# The pid of the program of this prefix started as $1: the loader's own for a
# 64-bit program; a 32-bit one, started from a 64-bit loader, runs in a
# process of its own. The loop ends well whichever process /proc lists last
# (under pipefail a failed test there used to stop the script).
program_pid() {
  local entry
  for entry in /proc/[0-9]*; do
    { tr '\0' '\n' <"$entry/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" || continue
    if [ "$({ tr '\0' '\n' <"$entry/cmdline"; } 2>/dev/null | head -n 1)" = "$1" ]; then
      echo "${entry#/proc/}"
      break
    fi
  done
}

# Starts one launcher with a stand-in that runs for 12 s, and looks at the
# launcher's own process from 2 s to 10 s (through both of its waits: for
# input idle, at most 5 s, and for the end).
measure_waiting() {
  local label=$1; shift
  STANDIN_SLEEP_MS=12000 wine "$@" >/dev/null &
  local started=$!
  sleep 2
  local pid; pid=$(program_pid "$1")
  [ -n "$pid" ] || { say "$1 is not running"; exit 1; }
  local cpu0 sw0 rss0 cpu1 sw1 rss1 threads
  cpu0=$(cpu_ns $pid); sw0=$(switches $pid); rss0=$(rss_kib $pid)
  sleep 8
  cpu1=$(cpu_ns $pid); sw1=$(switches $pid); rss1=$(rss_kib $pid); threads=$(thread_count $pid)
  [ -n "$rss0" ] && [ -n "$rss1" ] || { say "$1 ended before the measurement did"; exit 1; }
  wait $started
  awk -v l="$label" -v c="$((cpu1 - cpu0))" -v s="$((sw1 - sw0))" -v r0="$rss0" -v r1="$rss1" -v t="$threads" \
    'BEGIN { printf "| %s | %d / %d | %.3f | %d | %d |\n", l, r0, r1, c / 1e6, s, t }'
}

# The 12 runtimes of the search: hive, view (HKCU\Software is one tree that
# both views read, as on Windows 7 and later), key below SOFTWARE, home value,
# home under C:\bench\rt, JAVA_VERSION of its release file. SapMachine's
# 21.0.2 is the highest; minJava 11 leaves three too old.
SEARCH_RUNTIMES='HKLM|64|JavaSoft\JDK\17.0.9|JavaHome|oracle17|17.0.9
HKLM|32|JavaSoft\Java Runtime Environment\1.8.0_392|JavaHome|corretto8|1.8.0_392
HKLM|64|Eclipse Adoptium\JDK\21.0.1.12\hotspot\MSI|Path|temurin21|21.0.1
HKLM|32|Eclipse Adoptium\JRE\11.0.21.9\hotspot\MSI|Path|temurin11jre|11.0.21
HKLM|64|Microsoft\JDK\17.0.8.7\hotspot\MSI|Path|microsoft17|17.0.8
HKLM|64|Semeru\JDK\11.0.20.8\openj9\MSI|Path|semeru11|11.0.20
HKLM|64|Azul Systems\Zulu\zulu-17|InstallationPath|zulu17|17.0.9
HKLM|32|Azul Systems\Zulu 32-bit\zulu-8|InstallationPath|zulu8|1.8.0_392
HKLM|64|BellSoft\Liberica\jdk-21|InstallationPath|liberica21|21.0.1
HKLM|64|SapMachine\JDK\21.0.2|JavaHome|sapmachine21|21.0.2
HKCU|both|Eclipse Adoptium\JDK\17.0.9.9\hotspot\MSI|Path|user-temurin17|17.0.9
HKCU|both|BellSoft\Liberica\jre-8|InstallationPath|user-liberica8|1.8.0_392'
SEARCH_JAVA='C:\bench\rt\sapmachine21\bin\javaw.exe'

# The full name of a key in a hive and view, as regedit (a 64-bit program) sees
# it. HKCU\Software\Wow6432Node is never created: once it exists, Wine
# redirects a 32-bit program's HKCU\Software there.
key_name() {
  local hive=HKEY_LOCAL_MACHINE\\SOFTWARE
  [ "$1" = HKCU ] && hive=HKEY_CURRENT_USER\\Software
  [ "$1" = HKLM ] && [ "$2" = 32 ] && hive=$hive\\Wow6432Node
  printf '%s\\%s\n' "$hive" "$3"
}

# The vendors' keys that the search runtimes use (the first two names of each
# key), in every hive and view they are written to.
search_roots() {
  local hive view key rest
  while IFS='|' read -r hive view key rest; do
    key_name "$hive" "$view" "$(printf '%s' "$key" | cut -d'\' -f1-2)"
  done <<<"$SEARCH_RUNTIMES" | sort -u
}

# Only the 12 runtimes: no JavaSoft key of the start-up measurement above.
write_search_registry() {
  local root_key hive view key value home release
  {
    echo 'REGEDIT4'
    for root_key in 'SOFTWARE' 'SOFTWARE\Wow6432Node'; do
      echo "[-HKEY_LOCAL_MACHINE\\$root_key\\JavaSoft\\Java Runtime Environment]"
    done
    search_roots | sed 's/^/[-/; s/$/]/'
    while IFS='|' read -r hive view key value home release; do
      echo "[$(key_name "$hive" "$view" "$key")]"
      echo "\"$value\"=\"C:\\\\bench\\\\rt\\\\$home\""
    done <<<"$SEARCH_RUNTIMES"
  } >"$work/search.reg"
  wine regedit /S "$(windows_path "$work/search.reg")"
}

# C:\bench\search\searchapp.exe with minJava, and pathapp.exe with the same
# configuration naming the Java that the search finds; each runtime's home.
write_search_application() {
  local bench=$WINEPREFIX/drive_c/bench hive view key value home release
  mkdir -p "$bench/search"
  while IFS='|' read -r hive view key value home release; do
    mkdir -p "$bench/rt/$home/bin"
    cp "$standin" "$bench/rt/$home/bin/javaw.exe"
    printf 'IMPLEMENTOR="bench"\r\nJAVA_VERSION="%s"\r\n' "$release" >"$bench/rt/$home/release"
  done <<<"$SEARCH_RUNTIMES"
  cp "$exe" "$bench/search/searchapp.exe"
  cp "$exe" "$bench/search/pathapp.exe"
  local head='appname Search App\r\nmainclass com.example.bench.Main\r\n'
  printf "${head}minJava 11\r\n" >"$bench/search/searchapp.config"
  printf "${head}javapath %s\r\n" "$SEARCH_JAVA" >"$bench/search/pathapp.config"
}

# Both applications must start the same command line: the search's choice.
check_search() {
  local variant line
  for variant in searchapp pathapp; do
    rm -f "$WINEPREFIX/drive_c/bench/command.txt"
    STANDIN_RECORD='C:\bench\command.txt' wine "C:\\bench\\search\\$variant.exe" >/dev/null
    line=$(cat "$WINEPREFIX/drive_c/bench/command.txt" 2>/dev/null || true)
    if [ "$line" != "$SEARCH_JAVA com.example.bench.Main" ]; then
      say "$variant started '$line', not the search's choice"; exit 1
    fi
  done
  say "search: both applications started $line"
  read -r -a search_words <<<"$line"
}

measure_search() {
  say "search: $warmup warm-up rounds, then $rounds rounds of s, p, t (order rotating)"
  interleave s p t
  row "(s) launcher, Java search over 12 runtimes" "$work/s.ms"
  row "(p) launcher, javapath instead of the search" "$work/p.ms"
  row "(t) least launcher" "$work/t.ms"
  paired / "$work/s.ms" "$work/t.ms" >"$work/st.ratio"
  echo
  awk -v s="$(median <"$work/s.ms")" -v p="$(median <"$work/p.ms")" -v t="$(median <"$work/t.ms")" \
    'BEGIN { printf "ratios of the medians: s/t = %.3f (budget 1.10), p/t = %.3f\n", s / t, p / t }'
  echo "median of the ratios within a round: s/t = $(median <"$work/st.ratio") ($(quartiles <"$work/st.ratio")); $rounds rounds"
  echo
  say "search: own work, $rounds rounds of s, p and t under Wine's timestamped trace"
  : >"$work/s.work"; : >"$work/p.work"; : >"$work/t.work"
  for _ in $(seq "$rounds"); do
    work_ms 'C:\bench\search\searchapp.exe' >>"$work/s.work"
    work_ms 'C:\bench\search\pathapp.exe' >>"$work/p.work"
    work_ms 'C:\bench\least.exe' "${search_words[@]}" >>"$work/t.work"
  done
  paired - "$work/s.work" "$work/p.work" >"$work/search.work"
  paired - "$work/s.work" "$work/t.work" >"$work/st.work"
  echo "Own work from image loaded to CreateProcessA, milliseconds (median, interquartile range):"
  echo
  row "(s) launcher, Java search" "$work/s.work"
  row "(p) launcher, javapath" "$work/p.work"
  row "(t) least launcher" "$work/t.work"
  row "s - p, paired by round: the search's own time" "$work/search.work"
  row "s - t, paired by round" "$work/st.work"
}

# The rows of one exe: its size with and without its icons (the .rsrc section).
report_exe_size() {
  local size alignment rsrc
  size=$(stat -c %s "$1")
  alignment=$((16#$($objdump -p "$1" | awk '/^FileAlignment/ { print $2 }')))
  rsrc=$((16#$($objdump -h "$1" | awk '$2 == ".rsrc" { print $3 }')))
  rsrc=$(((rsrc + alignment - 1) / alignment * alignment))  # as laid out in the file
  echo "| $2 with its icons | $size | $((size / 1024)) KiB |"
  echo "| .rsrc section (icons) | $rsrc | |"
  echo "| $2 without icons | $((size - rsrc)) | $(((size - rsrc) / 1024)) KiB |"
}

report_sizes() {
  report_exe_size "$exe" launcher.exe
  report_exe_size "$work/$build/launcherc.exe" "launcherc.exe (console)"
  echo "| least launcher (for comparison) | $(stat -c %s "$least") | |"
}

measure_build() {
  use_build "$1"
  build "$build"
  write_registry
  write_application
  check_and_record
  check_output_writes

  echo "# [$build] build/$build/launcher.exe"
  echo "## [$build] Size (bytes)"
  report_sizes
  echo
  echo "## [$build] Start-up, milliseconds (median, interquartile range)"
  measure_startup
  echo
  echo "## [$build] Own work from image loaded to CreateProcessA, milliseconds (median, interquartile range)"
  measure_work
  echo
  echo "## [$build] Waiting while Java runs (VmRSS KiB at 2 s / 10 s, CPU ms and context switches from 2 s to 10 s, threads)"
  measure_waiting "launcher" 'C:\bench\app\benchapp.exe'
  measure_waiting "least launcher" 'C:\bench\least.exe' "${command_words[@]}"
  echo

  write_search_registry
  write_search_application
  check_search
  echo "## [$build] Java search over 12 registered runtimes: start-up, milliseconds (median, interquartile range)"
  measure_search
  echo
}

echo "Machine: $(nproc --all) cores,$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2-), $(wine --version)," \
  "load average $(cut -d' ' -f1-3 /proc/loadavg) at the start, $(date -u '+%Y-%m-%d %H:%M UTC')," \
  "$(if [ -n "$cpu" ]; then echo "pinned to CPU $cpu"; else echo "not pinned"; fi)"
printf '%s\n' "$builds" | sed 's/^/Builds: /'
start_display
mkdir -p "$WINEPREFIX"
"$wineserver64" -p
wine wineboot -i >/dev/null 2>&1
for measured in $(printf '%s\n' "$builds" | sed -n 's/: runs$//p'); do
  measure_build "$measured"
done
