#!/bin/sh
# Which builds of the launcher can this machine run under Wine? One line a
# build, "<build>: runs" or "<build>: not run: <reason>". Everything that runs
# Wine asks this script.
#
# Both builds run through the 64-bit loader in a 64-bit prefix; a 32-bit
# program there needs the 32-bit loader as well, which runs only where the
# kernel runs 32-bit code (some machines boot with IA-32 emulation off). The
# answer comes from running each loader, not from kernel versions.
#
# CORVANE_BUILDS (blanks or commas between win32, win64) narrows the answer to
# the builds it names; a named build that cannot run here is an error (exit 1).
# CORVANE_WINE32_LOADER names the 32-bit loader to try (default
# /usr/lib/wine/wine); /bin/false there shows what a machine without 32-bit
# code gets.
set -u
wine64=/usr/lib/wine/wine64
wine32=${CORVANE_WINE32_LOADER:-/usr/lib/wine/wine}
asked=$(printf '%s' "${CORVANE_BUILDS:-}" | tr ',' ' ')

for build in $asked; do
  case $build in win32|win64) ;; *)
    echo "CORVANE_BUILDS: unknown build '$build' (known: win32 win64)" >&2; exit 2 ;;
  esac
done

# Why the loader cannot run, or nothing when it runs.
loader_fault() {
  if [ ! -e "$1" ]; then
    echo "$1 is not installed (package $2)"
    return
  fi
  error=$("$1" --version 2>&1 >/dev/null)
  status=$?
  [ $status = 0 ] && return
  # The shell's "script: line: " before the system's message says nothing.
  error=$(printf '%s' "$error" | tail -n 1 | sed 's/^[^:]*: [0-9]*: //')
  echo "$1 --version failed with status $status${error:+ ($error)}"
}

fault64=$(loader_fault "$wine64" wine64)
fault32=$fault64
if [ -z "$fault64" ]; then
  fault32=$(loader_fault "$wine32" wine32)
  [ -n "$fault32" ] && [ -e "$wine32" ] &&
    fault32="this kernel runs no 32-bit code: $fault32"
fi

status=0
runnable=0
for build in win32 win64; do
  if [ "$build" = win32 ]; then fault=$fault32; else fault=$fault64; fi
  wanted=yes
  if [ -n "$asked" ]; then
    case " $asked " in *" $build "*) ;; *) wanted=no ;; esac
  fi
  if [ $wanted = no ]; then
    echo "$build: not run: not asked for (CORVANE_BUILDS=${CORVANE_BUILDS})"
  elif [ -n "$fault" ]; then
    echo "$build: not run: $fault"
    if [ -n "$asked" ]; then
      echo "CORVANE_BUILDS asks for $build, which cannot run on this machine: $fault" >&2
      status=1
    fi
  else
    echo "$build: runs"
    runnable=$((runnable + 1))
  fi
done
if [ $runnable = 0 ] && [ $status = 0 ]; then
  echo "no build of the launcher can run under Wine on this machine" >&2
  status=1
fi
exit $status
