# shellcheck shell=bash
# The Wine test bench: a private Wine prefix, an Xvfb screen and a persistent wineserver,
# shared by every program run through it. Source this file, then:
#   bench_start [-q]      bring the bench up (or join the one already up) and export
#                         WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES and DISPLAY; -q: silent when up
#   bench_stop [--force]  stop what the bench started (its Xvfb, its wineserver); leaves it up
#                         while other shells holding it (bench_stop_on_exit) are still alive
#   bench_stop_on_exit    hold the bench for this shell and stop it when the shell exits
#
# Settings (environment):
#   PEMBROX_BENCH_DIR        bench folder, default <repo>/build/bench (build/bench64 for x86-64)
#   PEMBROX_WIN_ARCH         win32 or win64: the bench for that build (see pembrox_win_arch)
#   PEMBROX_BENCH_IDLE       seconds without any program (and no holder) before the bench
#                            stops itself, default 60
#   PEMBROX_BENCH_SCREEN     Xvfb screen, default 1280x1024x24
#   PEMBROX_BENCH_OWN_X=1    always start our own Xvfb, even when DISPLAY works
#   PEMBROX_WINEDEBUG        WINEDEBUG for the programs, default -all
#
# Files in the bench folder:
#   wineprefix/               the prefix; wineprefix/.bench-ready marks it configured
#   lock                      flock'ed while the bench is started or stopped
#   state/display             the X display in use
#   state/xvfb.pid            our Xvfb (absent when an existing DISPLAY was used)
#   state/wineserver.pid      the persistent wineserver
#   state/watchdog.pid        the idle watchdog
#   state/keeper.pid          the program keeping Wine's desktop open (see below)
#   state/used                time (epoch s) of the last bench_start
#   state/holders/PID         shells that called bench_stop_on_exit
#   keeper.exe, keeper.c      that program, built here with mingw-w64
#   *.log                     output of Xvfb, wineserver, keeper and the prefix creation
#
# Lifetime: the wineserver runs with -p (no timeout of its own) and a small watchdog ends the
# bench once no program has used it for PEMBROX_BENCH_IDLE seconds (it looks at state/used
# and at the live Wine processes of the prefix), or as soon as the wineserver or the screen
# has gone. The wineserver's own timeout (-pN) is not used: when it runs out, the server
# kills every process in the prefix over the next 2-4 s, a test starting just then included.

_bench_src=${BASH_SOURCE[0]}
[[ $_bench_src == /* ]] || _bench_src=$PWD/$_bench_src
_bench_scripts=${_bench_src%/*}
# Without "..": the wineserver is found by its working folder, which the system gives resolved.
_bench_top=$(cd "${_bench_scripts%/*}" && pwd -P)

# pembrox_win_arch: prints the Windows architecture this machine's tests run as. win32 where the
# kernel runs 32-bit x86 code (Wine's 32-bit loader starts); win64 on kernels without 32-bit
# emulation (some virtual machines), where wine64 runs the x86-64 build of the same sources. (A
# 32-bit loader that only starts through qemu's user emulation does not count: Wine fails there.)
# PEMBROX_WIN_ARCH=win32 or win64 overrides the probe.
pembrox_win_arch() {
  if [[ -n ${PEMBROX_WIN_ARCH:-} ]]; then
    printf '%s\n' "$PEMBROX_WIN_ARCH"
  elif [[ ! -x /usr/lib/wine/wine64 ]] || { [[ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]] &&
                                            /usr/lib/wine/wine --version >/dev/null 2>&1; }; then
    printf 'win32\n'
  else
    printf 'win64\n'
  fi
}
# pembrox_win_build NAME: the folder of a Windows build, build/NAME (build/NAME64 where the
# programs run as x86-64), in win_build, and its toolchain file in toolchain.
pembrox_win_build() {
  if [[ $(pembrox_win_arch) == win64 ]]; then
    win_build=$_bench_top/build/${1}64 toolchain=$_bench_top/cmake/mingw-x86_64.cmake
  else
    win_build=$_bench_top/build/$1 toolchain=$_bench_top/cmake/mingw-i686.cmake
  fi
}
_bench_arch=$(pembrox_win_arch)
# Each architecture has its bench: a 64-bit prefix runs the x86-64 build, and 32-bit programs too
# where the kernel runs them (Wine's WoW64), as a 64-bit Windows does.
if [[ $_bench_arch == win64 ]]; then
  BENCH_DIR=${PEMBROX_BENCH_DIR:-$_bench_top/build/bench64}
else
  BENCH_DIR=${PEMBROX_BENCH_DIR:-$_bench_top/build/bench}
fi
[[ $BENCH_DIR == /* ]] || BENCH_DIR=$PWD/$BENCH_DIR
if [[ $_bench_arch == win64 ]]; then
  _bench_prefix=$BENCH_DIR/wineprefix64
  _bench_wine=/usr/lib/wine/wine64
  _bench_cc=x86_64-w64-mingw32-gcc-posix
else
  _bench_prefix=$BENCH_DIR/wineprefix
  _bench_wine=wine
  _bench_cc=i686-w64-mingw32-gcc-posix
fi
_bench_state=$BENCH_DIR/state
# Bumped when the prefix settings below change, so older prefixes get them too.
_bench_prefix_version=2
# The prefix's dots per inch (PEMBROX_BENCH_DPI, 96 unless told): a bench at another DPI needs
# its own folder (PEMBROX_BENCH_DIR), as a running program's DPI is its prefix's.
_bench_dpi=${PEMBROX_BENCH_DPI:-96}
[[ $_bench_dpi =~ ^[0-9]+$ ]] && ((_bench_dpi >= 48 && _bench_dpi <= 480)) || _bench_dpi=96
((_bench_dpi == 96)) || _bench_prefix_version+="-dpi$_bench_dpi"

_bench_say() { printf '[bench] %s\n' "$*" >&2; }
_bench_fail() { printf '[bench] ERROR: %s\n' "$*" >&2; return 1; }

# _bench_alive PID NAME: PID runs (not a zombie) and its command name starts with NAME, which
# guards against a reused pid.
_bench_alive() {
  local stat comm
  [[ -n $1 ]] && { read -r stat < "/proc/$1/stat"; } 2>/dev/null || return 1
  comm=${stat#*\(}; comm=${comm%\)*}
  stat=${stat##*\) }
  [[ $comm == "$2"* && ${stat:0:1} != [ZX] ]]
}

# _bench_read FILE: the first line of FILE into _bench_val ("" when missing).
_bench_read() {
  _bench_val=
  { read -r _bench_val < "$1"; } 2>/dev/null
  return 0
}

# _bench_up: the recorded bench runs. Builtins only: this is the path taken by every test.
_bench_up() {
  local ws x
  _bench_read "$_bench_state/display"; _bench_display=$_bench_val
  [[ -n $_bench_display ]] || return 1
  _bench_read "$_bench_state/wineserver.pid"; ws=$_bench_val
  _bench_alive "$ws" wineserver || return 1
  _bench_read "$_bench_state/xvfb.pid"; x=$_bench_val
  [[ -z $x ]] || _bench_alive "$x" Xvfb
}

_bench_export() {
  # Programs run as "$PEMBROX_WINE" PROGRAM.exe.
  export PEMBROX_WINE=$_bench_wine
  [[ $_bench_arch == win64 ]] && export WINELOADER=$_bench_wine
  export WINEPREFIX=$_bench_prefix
  export WINEDEBUG=${PEMBROX_WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export DISPLAY=$_bench_display
}

# _bench_probe DISPLAY: an X server answers there.
_bench_probe() {
  if command -v xdotool >/dev/null; then
    DISPLAY=$1 timeout 5 xdotool getdisplaygeometry >/dev/null 2>&1
  elif command -v xdpyinfo >/dev/null; then
    DISPLAY=$1 timeout 5 xdpyinfo >/dev/null 2>&1
  else
    DISPLAY=$1 timeout 5 xwd -root -silent >/dev/null 2>&1
  fi
}

# _bench_spawn LOG CMD...: CMD in its own session, output to LOG, no input, without the
# lock fd; its pid in _bench_pid. Job control off so that setsid does not fork again.
_bench_spawn() {
  local - log=$1
  shift
  set +m
  setsid "$@" </dev/null >>"$log" 2>&1 219>&- &
  _bench_pid=$!
}

# The lock is held on a fixed descriptor, 219, so that every command started while it is held
# can drop it ("219>&-"): a background process keeping it would keep the lock forever.
_bench_lock() {
  mkdir -p "$_bench_state/holders" || _bench_fail "cannot create $_bench_state" || return 1
  exec 219>>"$BENCH_DIR/lock" || return 1
  _bench_locked=1
  if ! flock -n 219; then
    _bench_say "waiting for another process starting or stopping the bench"
    flock -w 600 219 || { _bench_unlock; _bench_fail "bench lock still busy after 600 s"; return 1; }
  fi
}

_bench_unlock() {
  if [[ -n ${_bench_locked:-} ]]; then
    exec 219>&-
  fi
  _bench_locked=
}

# The prefix, made once: no Mono/Gecko offers; winemenubuilder off (each new session runs
# it, writing menu entries into $HOME); Wine draws the window frames itself
# (Decorated/Managed = N); 96 DPI; no crash dialog (a crashing test prints its backtrace and
# exits instead of waiting for a click).
_bench_make_prefix() {
  local stamp=$_bench_prefix/.bench-ready reg log=$BENCH_DIR/wineprefix.log t0=$SECONDS
  _bench_read "$stamp"
  [[ $_bench_val == "$_bench_prefix_version" ]] && return 0

  if [[ -d $_bench_prefix && ! -f $stamp ]]; then
    _bench_say "removing a half-made prefix"
    WINEPREFIX=$_bench_prefix wineserver -k >/dev/null 2>&1
    WINEPREFIX=$_bench_prefix timeout 30 wineserver -w >/dev/null 2>&1
    rm -rf -- "$_bench_prefix"
  fi
  local -x WINEPREFIX=$_bench_prefix WINEARCH=$_bench_arch WINEDEBUG=-all
  [[ $_bench_arch == win64 ]] && local -x WINELOADER=$_bench_wine
  local -x WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  if [[ ! -d $_bench_prefix ]]; then
    _bench_say "creating the Wine prefix $_bench_prefix (once, 10-20 s)"
    env -u DISPLAY "$_bench_wine" wineboot -i </dev/null >"$log" 2>&1 219>&- \
      || { tail -n 20 "$log" >&2; _bench_fail "wineboot -i failed (log: $log)"; return 1; }
  else
    _bench_say "updating the settings of the Wine prefix"
  fi

  reg=$BENCH_DIR/settings.reg
  local logpixels
  logpixels=$(printf '%08x' "$_bench_dpi")
  cat >"$reg" <<REG
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"
"Managed"="N"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:$logpixels

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts]
"LogPixels"=dword:$logpixels

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"winemenubuilder.exe"=""
REG
  env -u DISPLAY "$_bench_wine" reg import "Z:${reg//\//\\}" </dev/null >>"$log" 2>&1 219>&- \
    || { tail -n 20 "$log" >&2; _bench_fail "importing the prefix settings failed (log: $log)"; return 1; }
  # The registry reaches user.reg/system.reg only when the wineserver exits: wait for it
  # (about 5 s) before a persistent one takes over.
  timeout 60 wineserver -w >/dev/null 2>&1 219>&- \
    || { _bench_fail "the wineserver did not end after the prefix set-up"; return 1; }
  if ! grep -q '^"Decorated"="N"' "$_bench_prefix/user.reg" \
      || ! grep -q '^"Managed"="N"' "$_bench_prefix/user.reg"; then
    _bench_fail "the X11 Driver settings are missing from $_bench_prefix/user.reg"
    return 1
  fi
  printf '%s\n' "$_bench_prefix_version" >"$stamp"
  _bench_say "prefix ready in $((SECONDS - t0)) s"
}

# An X display: the caller's when it answers (unless PEMBROX_BENCH_OWN_X=1), else our Xvfb
# on the first display number that looks free.
_bench_start_display() {
  local n i
  if [[ ${PEMBROX_BENCH_OWN_X:-} != 1 && -n ${DISPLAY:-} ]] && _bench_probe "$DISPLAY"; then
    _bench_say "using the running display $DISPLAY"
    _bench_display=$DISPLAY
    rm -f "$_bench_state/xvfb.pid"
    printf '%s\n' "$_bench_display" >"$_bench_state/display"
    return 0
  fi
  for ((n = 50; n < 200; n++)); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    _bench_spawn "$BENCH_DIR/xvfb.log" Xvfb ":$n" -screen 0 "${PEMBROX_BENCH_SCREEN:-1280x1024x24}" -nolisten tcp
    for ((i = 0; i < 100; i++)); do
      kill -0 "$_bench_pid" 2>/dev/null || break
      if _bench_probe ":$n"; then
        _bench_say "Xvfb on :$n (pid $_bench_pid)"
        _bench_display=:$n
        printf '%s\n' "$_bench_pid" >"$_bench_state/xvfb.pid"
        printf '%s\n' "$_bench_display" >"$_bench_state/display"
        return 0
      fi
      sleep 0.1
    done
    if kill -0 "$_bench_pid" 2>/dev/null; then
      kill "$_bench_pid" 2>/dev/null
      _bench_fail "Xvfb :$n did not answer within 10 s (log: $BENCH_DIR/xvfb.log)"
      return 1
    fi
    # Lost the display to someone starting at the same moment: try the next one.
  done
  _bench_fail "no free X display found (log: $BENCH_DIR/xvfb.log)"
}

# _bench_find_server: pid of the wineserver serving our prefix, in _bench_pid. Its working
# folder is <tmp>/server-<dev>-<inode> of the prefix, or, while it loads the registry right
# after starting, the prefix itself.
_bench_find_server() {
  local id d comm cwd
  id=$(stat -c '%d %i' "$_bench_prefix") || return 1
  # shellcheck disable=SC2086
  printf -v id 'server-%x-%x' $id
  _bench_pid=
  for d in /proc/[0-9]*; do
    { read -r comm < "$d/comm"; } 2>/dev/null || continue
    [[ $comm == wineserver* ]] || continue
    cwd=$(readlink "$d/cwd" 2>/dev/null) || continue
    if [[ $cwd == */"$id" || $cwd == "$_bench_prefix" ]]; then
      _bench_pid=${d#/proc/}
      return 0
    fi
  done
  return 1
}

_bench_start_server() {
  local rc
  # Without -f the wineserver returns once its socket listens: no client can race it.
  WINEPREFIX=$_bench_prefix wineserver -p </dev/null >>"$BENCH_DIR/wineserver.log" 2>&1 219>&-
  rc=$?
  if ((rc == 2)); then
    _bench_say "a wineserver already runs for the prefix (started outside the bench); using it"
  elif ((rc != 0)); then
    _bench_fail "wineserver -p failed (rc $rc, log: $BENCH_DIR/wineserver.log)"
    return 1
  fi
  _bench_find_server || { _bench_fail "cannot find the wineserver of $_bench_prefix"; return 1; }
  printf '%s\n' "$_bench_pid" >"$_bench_state/wineserver.pid"
  ((rc == 2)) || _bench_say "wineserver -p (pid $_bench_pid)"

  _bench_start_desktop
}

# Wine's services and its desktop process (explorer.exe /desktop) are started by the first
# program of a session and inherit that program's stderr. Left to a test, they would hold
# ctest's output pipe open: the services for as long as the wineserver lives, the desktop
# for 1 s after the last program leaves it (and every GUI test would start a new one).
# So the bench starts them itself, with its own output, from a tiny program (the keeper)
# that attaches to the desktop and then sleeps, which keeps the desktop open. A console
# program such as cmd.exe does not do: it never attaches to the desktop.
_bench_keeper_source='/* Keeps the Wine desktop of the test bench open. */
#include <windows.h>
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command, int show)
{
    DWORD written;
    (void)instance; (void)previous; (void)command; (void)show;
    GetDesktopWindow(); /* returns once the desktop process is ready */
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "ready\n", 6, &written, NULL);
    Sleep(INFINITE);
    return 0;
}
'

_bench_start_desktop() {
  local i exe=$BENCH_DIR/keeper-$_bench_arch.exe log=$BENCH_DIR/keeper.log cc=$_bench_cc src=
  local -x DISPLAY=$_bench_display WINEPREFIX=$_bench_prefix WINEDEBUG=-all
  local -x WINEDLLOVERRIDES="mscoree,mshtml="
  [[ $_bench_arch == win64 ]] && local -x WINELOADER=$_bench_wine
  _bench_read "$_bench_state/keeper.pid"
  _bench_alive "$_bench_val" keeper && kill "$_bench_val" 2>/dev/null
  [[ -f $BENCH_DIR/keeper.c ]] && src=$(<"$BENCH_DIR/keeper.c")
  if [[ ! -f $exe || $src != "${_bench_keeper_source%$'\n'}" ]]; then
    command -v "$cc" >/dev/null || { _bench_fail "$cc not found (run scripts/setup.sh)"; return 1; }
    printf '%s' "$_bench_keeper_source" >"$BENCH_DIR/keeper.c"
    "$cc" -O2 -s -mwindows -o "$exe" "$BENCH_DIR/keeper.c" >"$log" 2>&1 \
      || { cat "$log" >&2; _bench_fail "cannot build $exe"; return 1; }
  fi
  : >"$log"
  _bench_spawn "$log" "$_bench_wine" "$exe"
  printf '%s\n' "$_bench_pid" >"$_bench_state/keeper.pid"
  for ((i = 0; i < 300; i++)); do
    grep -q '^ready' "$log" 2>/dev/null && return 0
    kill -0 "$_bench_pid" 2>/dev/null || break
    sleep 0.05
  done
  tail -n 20 "$log" >&2
  _bench_fail "the desktop keeper did not come up (log: $log)"
}

# _bench_wine_pids: pids of the Wine processes (wineserver included) of the prefix, in
# _bench_pids.
_bench_wine_pids() {
  local f p exe
  _bench_pids=()
  # shellcheck disable=SC2013  # /proc paths, no spaces
  for f in $(grep -slzxF "WINEPREFIX=$_bench_prefix" /proc/[0-9]*/environ 2>/dev/null); do
    p=${f#/proc/}; p=${p%/environ}
    exe=$(readlink "/proc/$p/exe" 2>/dev/null) || continue
    [[ ${exe##*/} == wine* ]] && _bench_pids+=("$p")
  done
  return 0
}

# _bench_scan: looks at the Wine processes of the prefix. _bench_busy=1 when a program runs
# (anything but the keeper and Wine's own processes under C:\windows), _bench_desktop=1
# when the desktop process is there.
_bench_scan() {
  local p a0 a1 keeper
  _bench_busy='' _bench_desktop=''
  _bench_read "$_bench_state/keeper.pid"; keeper=$_bench_val
  _bench_wine_pids
  for p in "${_bench_pids[@]}"; do
    [[ $p == "$keeper" ]] && continue
    _bench_alive "$p" wineserver && continue
    a0='' a1=''
    { { IFS= read -r -d '' a0; IFS= read -r -d '' a1; } < "/proc/$p/cmdline"; } 2>/dev/null
    a0=${a0,,}
    # shellcheck disable=SC1003  # a backslash, then the closing quote
    if [[ $a0 == 'c:\windows\system32\explorer.exe' && ${a1,,} == /desktop* ]]; then
      _bench_desktop=1
    elif [[ $a0 != 'c:\windows\'* ]]; then
      _bench_busy=1
    fi
  done
  return 0
}

# _bench_held [PID]: a live shell other than PID holds the bench (bench_stop_on_exit); its
# pid in _bench_holder. Entries of shells that have gone are removed.
_bench_held() {
  local h
  _bench_holder=
  for h in "$_bench_state"/holders/*; do
    [[ -e $h ]] || continue
    h=${h##*/}
    [[ $h == "${1:-}" ]] && continue
    if kill -0 "$h" 2>/dev/null; then
      _bench_holder=$h
      return 0
    fi
    rm -f "$_bench_state/holders/$h"
  done
  return 1
}

# The watchdog's loop (run in its own bash by _bench_start_watchdog).
_bench_watch() {
  local idle=${PEMBROX_BENCH_IDLE:-60} since=$EPOCHSECONDS ws x reason
  _bench_read "$_bench_state/wineserver.pid"; ws=$_bench_val
  _bench_read "$_bench_state/xvfb.pid"; x=$_bench_val
  _bench_read "$_bench_state/display"; _bench_display=$_bench_val
  while sleep 5; do
    _bench_read "$_bench_state/watchdog.pid"
    [[ $_bench_val == "$$" ]] || exit 0
    reason=
    if ! _bench_alive "$ws" wineserver; then
      reason="the wineserver has ended"
    elif [[ -n $x ]] && ! _bench_alive "$x" Xvfb; then
      reason="Xvfb has ended"
    elif [[ -z $x ]] && ! _bench_probe "$_bench_display"; then
      reason="display $_bench_display does not answer"
    else
      _bench_scan
      if [[ -z $_bench_desktop ]]; then
        _bench_lock || exit 1
        _bench_read "$_bench_state/watchdog.pid"
        [[ $_bench_val == "$$" ]] || exit 0
        _bench_say "the desktop process has gone; starting it again"
        _bench_start_desktop
        _bench_unlock
      fi
      # A shell that called bench_stop_on_exit keeps the bench until it exits.
      if [[ -n $_bench_busy ]] || _bench_held; then
        since=$EPOCHSECONDS
        continue
      fi
      _bench_read "$_bench_state/used"
      [[ $_bench_val =~ ^[0-9]+$ ]] && ((_bench_val > since)) && since=$_bench_val
      ((EPOCHSECONDS - since >= idle)) || continue
      reason="idle for ${idle} s"
    fi
    _bench_lock || exit 1
    _bench_read "$_bench_state/watchdog.pid"
    [[ $_bench_val == "$$" ]] || exit 0
    if [[ $reason == idle* ]]; then
      _bench_read "$_bench_state/used"
      _bench_scan
      if [[ -n $_bench_busy ]] || _bench_held || { [[ $_bench_val =~ ^[0-9]+$ ]] && ((_bench_val > since)); }; then
        _bench_unlock
        continue
      fi
    fi
    _bench_say "stopping the bench: $reason"
    _bench_teardown
    _bench_unlock
    exit 0
  done
}

_bench_start_watchdog() {
  # shellcheck disable=SC2016  # expanded by the watchdog's bash
  _bench_spawn "$BENCH_DIR/watchdog.log" env PEMBROX_BENCH_DIR="$BENCH_DIR" \
    bash -c 'source "$1" && _bench_watch' bench-watchdog "$_bench_src"
  printf '%s\n' "$_bench_pid" >"$_bench_state/watchdog.pid"
}

# Stop what the state records; the caller holds the lock.
_bench_teardown() {
  local ws x wd i
  _bench_read "$_bench_state/watchdog.pid"; wd=$_bench_val
  _bench_read "$_bench_state/wineserver.pid"; ws=$_bench_val
  _bench_read "$_bench_state/xvfb.pid"; x=$_bench_val
  rm -f "$_bench_state/watchdog.pid" "$_bench_state/wineserver.pid" "$_bench_state/xvfb.pid" \
        "$_bench_state/keeper.pid" "$_bench_state/display"
  [[ -n $wd && $wd != "$$" ]] && _bench_alive "$wd" bash && kill "$wd" 2>/dev/null
  if [[ -d $_bench_prefix ]]; then
    # -k ends the wineserver of this prefix only, with every program in it.
    WINEPREFIX=$_bench_prefix wineserver -k >/dev/null 2>&1 219>&-
    WINEPREFIX=$_bench_prefix timeout 10 wineserver -w >/dev/null 2>&1 219>&-
  fi
  # Whatever is left (a wineserver that would not go, or programs orphaned by one that died)
  # belongs to this private prefix.
  _bench_wine_pids
  ((${#_bench_pids[@]} == 0)) || kill -9 "${_bench_pids[@]}" 2>/dev/null
  if _bench_alive "$x" Xvfb; then
    kill "$x" 2>/dev/null
    for ((i = 0; i < 50; i++)); do
      _bench_alive "$x" Xvfb || break
      sleep 0.1
    done
    _bench_alive "$x" Xvfb && kill -9 "$x" 2>/dev/null
  fi
  [[ -n $ws$x ]] && _bench_say "stopped${x:+ Xvfb (pid $x)}${ws:+ wineserver (pid $ws)}"
  return 0
}

# The public functions run with errexit/nounset off (restored on return): they are sourced
# into scripts that may use set -eu, and expect some commands to fail.
bench_start() {
  local - quiet='' t0=$SECONDS c
  set +eu
  [[ ${1:-} == -q ]] && quiet=1
  if _bench_up; then
    _bench_export
    printf '%s\n' "$EPOCHSECONDS" 2>/dev/null >"$_bench_state/used"
    [[ -n $quiet ]] || _bench_say "bench up: DISPLAY=$_bench_display WINEPREFIX=$_bench_prefix"
    return 0
  fi
  for c in wine wineserver wineboot Xvfb flock setsid; do
    command -v "$c" >/dev/null || { _bench_fail "$c not found (run scripts/setup.sh)"; return 1; }
  done
  _bench_lock || return 1
  # Someone may have brought it up while we waited for the lock.
  if ! _bench_up; then
    _bench_say "starting the bench in $BENCH_DIR"
    _bench_teardown
    if ! { _bench_make_prefix && _bench_start_display && _bench_start_server && _bench_start_watchdog; }; then
      _bench_teardown
      _bench_unlock
      return 1
    fi
    _bench_say "bench up in $((SECONDS - t0)) s: DISPLAY=$_bench_display WINEPREFIX=$_bench_prefix"
  elif [[ -z $quiet ]]; then
    _bench_say "bench up: DISPLAY=$_bench_display WINEPREFIX=$_bench_prefix"
  fi
  printf '%s\n' "$EPOCHSECONDS" >"$_bench_state/used"
  _bench_unlock
  _bench_export
}

bench_stop() {
  local - force=
  set +eu
  [[ ${1:-} == --force || ${1:-} == -f ]] && force=1
  [[ -d $_bench_state ]] || return 0
  _bench_lock || return 1
  rm -f "$_bench_state/holders/$$"
  if [[ -z $force ]] && _bench_held "$$"; then
    _bench_say "bench still held by pid $_bench_holder; leaving it up"
    _bench_unlock
    return 0
  fi
  _bench_teardown
  _bench_unlock
}

bench_stop_on_exit() {
  local - prev=
  set +eu
  mkdir -p "$_bench_state/holders" && : >"$_bench_state/holders/$$"
  prev=$(trap -p EXIT)
  [[ $prev == *bench_stop* ]] && return 0
  if [[ -n $prev ]]; then
    eval "set -- $prev"
    prev=$3$'\n'
  fi
  # shellcheck disable=SC2064
  trap -- "${prev}bench_stop" EXIT
  # A signal would skip the EXIT trap unless something turns it into an exit.
  [[ -n $(trap -p INT) ]] || trap 'exit 130' INT
  [[ -n $(trap -p TERM) ]] || trap 'exit 143' TERM
  [[ -n $(trap -p HUP) ]] || trap 'exit 129' HUP
}
