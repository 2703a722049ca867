#!/usr/bin/env bash
# Wine's own programs, skinned through the launcher, compared from outside with the same programs
# unskinned:
#   real-programs.sh BUILD_DIR PROGRAM [SKIN.skn]
# PROGRAM is one of notepad, wordpad, winemine, winefile, taskmgr, winecfg, clock, regedit.
#
# Each session starts the program under ScreenWatch, waits for its main window, records
# window_inspector's listing and which X window has the focus, presses Alt+F and then (after
# Escape) F10 wherever the program put its focus, looks for a popup menu after each, resizes the
# main window by (+40, +30) and closes it with WM_CLOSE. The unskinned session comes first, then
# the skinned one. Programs that keep their window's place in the registry (notepad, wordpad,
# taskmgr; winemine keeps only its place, the others nothing) get a second session of each kind.
#
# Checks, skinned against unskinned: the main window answers the skin's query; the client sizes of
# the main window (and of MDI children) are equal, as first shown and after the resize; Alt+F opens
# a popup menu exactly when it does unskinned; F10 opens the first menu when the program has a
# menu bar (unskinned, Wine only selects the bar's first title), nothing when the program keeps F10
# for itself unskinned too, and no popup when it has no bar; the
# exit code is the same; the second session comes back where and at the size the first one ended;
# no capture shows the platform's caption colours (checked only when the watcher sees the
# program's own caption in the unskinned session, and no window of Wine's desktop process shows).
# The styles and the menu seen from outside are reported, not compared: the skin keeps the caption
# buttons' styles and the menu off the window, and shows the program its own. Without SKIN only
# the unskinned sessions run.
#
# The registry keys the program keeps its settings in are saved first and put back at the end;
# every session starts from them cleared, so from the program's defaults. Logs and listings go to
# BUILD_DIR/real-programs/PROGRAM_SKIN/. Exit status: 0 all checks passed, 1 a check failed,
# 125 the bench or the program could not be set up.
#
# REAL_PROGRAMS_TAMPER=1 shifts every expected value, so that every check must fail: run it once
# after changing a check to see that the check still can.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
[[ $# -ge 2 ]] || { echo "usage: real-programs.sh BUILD_DIR PROGRAM [SKIN.skn]" >&2; exit 125; }
build=$(cd "$1" && pwd) program=${2%.exe} skin=${3:-}
tamper=${REAL_PROGRAMS_TAMPER:-0}
# shellcheck source=../../scripts/winebench.sh
source "$here/../../scripts/winebench.sh" || exit 125
bench_start -q >&2 || { echo "the Wine bench did not start" >&2; exit 125; }

launcher=$build/skin/api/pembrox-run.exe
inspector=$build/tests/window_inspector.exe
[[ -f $launcher ]] || { echo "no launcher: $launcher" >&2; exit 125; }
[[ -f $inspector ]] || { echo "no window inspector: $inspector" >&2; exit 125; }
[[ -z $skin || -f $skin ]] || { echo "no skin file: $skin" >&2; exit 125; }
[[ -n $skin ]] && skin=$(cd "$(dirname "$skin")" && pwd)/$(basename "$skin")
command -v xdotool >/dev/null || { echo "xdotool is missing" >&2; exit 125; }

# The program's command, the registry key it keeps its settings under, whether it keeps its
# window's place there. Wordpad is not on the path; wordpad and regedit share the Applets key.
applets='HKCU\Software\Microsoft\Windows\CurrentVersion\Applets'
case $program in
  notepad)  command=notepad.exe  key='HKCU\Software\Microsoft\Notepad' keeps=1 ;;
  wordpad)  command='C:\Program Files\Windows NT\Accessories\wordpad.exe' key=$applets keeps=1 ;;
  taskmgr)  command=taskmgr.exe  key='HKCU\Software\Wine\TaskManager' keeps=1 ;;
  winemine) command=winemine.exe key='HKCU\Software\Microsoft\WinMine' keeps=0 ;;
  regedit)  command=regedit.exe  key=$applets keeps=0 ;;
  winefile) command=winefile.exe key='HKCU\Software\Wine\WineFile' keeps=0 ;;
  clock)    command=clock.exe    key='HKCU\Software\Wine\Clock' keeps=0 ;;
  winecfg)  command=winecfg.exe  key='HKCU\Software\Wine\WineCfg' keeps=0 ;;
  *) echo "unknown program: $program" >&2; exit 125 ;;
esac
exe=$program.exe
skin_name=none
[[ -n $skin ]] && skin_name=$(basename "$skin" .skn)
[[ $skin_name == default ]] && skin_name=slate
logs=$build/real-programs/${program}_$skin_name
rm -rf "$logs" && mkdir -p "$logs" || exit 125

inspect() { "$PEMBROX_WINE" "$inspector" "$@" 2>>"$logs/inspector.log" | tr -d '\r'; }
reg_run() { "$PEMBROX_WINE" reg "$@" </dev/null 2>&1 | tr -d '\r'; }
winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }
# field LINE NAME: the value of NAME= in an inspector line (the title runs to the line's end).
field() {
  local rest
  if [[ $2 == title ]]; then rest=${1#* title=}; [[ $rest != "$1" ]] && printf '%s' "$rest"; return; fi
  rest=" ${1%% class=*}"
  rest=${rest#* "$2"=}
  [[ $rest == " ${1%% class=*}" ]] && return
  printf '%s' "${rest%% *}"
}

if inspect list "$exe" >/dev/null; then
  echo "$exe runs already (not started by this test); not touching it" >&2
  exit 125
fi

# --- the registry: saved now, cleared before each first session, put back at the end ---------
backup=$logs/settings-before.reg
had_key=0
reg_run export "$key" "$(winpath "$backup")" /y >/dev/null && had_key=1
restore_settings() {
  reg_run delete "$key" /f >/dev/null
  if ((had_key)); then
    reg_run import "$(winpath "$backup")" >/dev/null
    reg_run export "$key" "$(winpath "$logs/settings-after.reg")" /y >/dev/null
    cmp -s "$backup" "$logs/settings-after.reg" && echo "settings: $key put back as found" \
      || echo "WARNING: $key differs from what was found (see $logs)"
  elif reg_run query "$key" >/dev/null; then
    echo "WARNING: $key is there, but was not before"
  else
    echo "settings: $key absent, as found"
  fi
}

# The session's process (ScreenWatch over the program or the launcher) while it runs: ended at
# exit, by its id.
running=''
finish() {
  [[ -n $running ]] && kill "$running" 2>/dev/null
  restore_settings
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# ScreenWatch watches every session for the platform's caption colours. A run of 100 pixels on
# 3 rows makes a caption: in this prefix the selection colour is the active caption's within
# ScreenWatch's tolerance, and regedit's selected tree item alone is a run of 78. The unskinned
# session shows whether the watcher sees the program's own caption at all at that length.
caption_run=100
watch=$build/screenwatch
if [[ ! -x $watch || $here/ScreenWatch.c -nt $watch ]]; then
  cc -O2 -o "$watch.tmp" "$here/ScreenWatch.c" -lX11 -lXext && mv "$watch.tmp" "$watch" || exit 125
fi
read -r active activeEnd inactive inactiveEnd < <(inspect colours)
echo "caption colours: $active:$activeEnd $inactive:$inactiveEnd" >"$logs/colours.txt"
[[ -n ${inactiveEnd:-} ]] || { echo "could not read the caption colours" >&2; exit 125; }

# --- one session ---------------------------------------------------------------------------
# session NAME SKINNED MENUS: runs the program; leaves its results in R_* variables.
#   R_start    the main window's line once it showed and held still
#   R_end      its line after the resize, just before closing
#   R_altf     "popup" or "none" after Alt+F;  R_f10  "popup", "bar" (menu mode only) or "none"
#   R_exit     the exit code ("none" when it had to be ended), R_watch ScreenWatch's verdict
#   R_focus    the name of the X window with the focus, R_others the titles of the windows Wine's
#              desktop process shows meanwhile
session() {
  local name=$1 skinned=$2 menus=$3 log=$logs/$1.log out=$logs/$1.out pid i line w h state
  R_start='' R_end='' R_altf=n/a R_f10=n/a R_exit=none R_watch=n/a R_focus='' R_others=''
  : >"$log"
  # The bench stops itself after a minute without a program of its own (Wine's programs do not
  # count): each session tells it that it is in use.
  bench_start -q >&2 || { echo "$name: the Wine bench did not start" >>"$log"; return 0; }
  # The screen starts without the tray window (see below; it shows for a while after the desktop
  # process starts, and goes a moment after the last icon).
  for ((i = 0; i < 50; i++)); do
    inspect list explorer.exe >/dev/null || break
    sleep 0.1
  done
  t0=$EPOCHREALTIME
  local -a run=("$PEMBROX_WINE" "$command")
  ((skinned)) && run=("$PEMBROX_WINE" "$launcher" "/skin=$skin" "$command")
  # Both kinds run in the same working folder (winefile shows it).
  (cd "$logs" && exec "$watch" -s 60 -r "$caption_run" -o "$logs/$name-caption.ppm" \
     -g "$active:$activeEnd" -g "$inactive:$inactiveEnd" -- "${run[@]}") >"$out" 2>>"$log" &
  pid=$!
  running=$pid
  mark started
  if ! R_start=$(inspect wait "$exe" 20); then
    echo "$name: no main window within 20 s" >>"$log"
    R_start=''
  fi
  # A skinned window answers the query from its first show; give the launcher a moment anyway.
  for ((i = 0; skinned && i < 20; i++)); do
    [[ $(field "$R_start" skinned) == 1 ]] && break
    sleep 0.1
    R_start=$(inspect list "$exe" | grep '^main ')
  done
  mark "main window shown"
  inspect list "$exe" >"$logs/$name-windows.txt"
  R_focus=$(xdotool getwindowfocus getwindowname 2>/dev/null)
  { echo "focus: $R_focus"; cat "$logs/$name-windows.txt"; } >>"$log"
  # Wine's desktop process shows a window of its own with the platform's caption, "Wine System
  # Tray", while a program has an icon in the tray (taskmgr does): the watcher sees that one too.
  R_others=$(inspect list explorer.exe | sed -n 's/.* title=//p' | paste -sd, -)
  [[ -n $R_others ]] && echo "explorer.exe shows: $R_others" >>"$log"

  if [[ -n $R_start && $menus == 1 ]]; then
    # Alt+F, then Escape until the menu mode ends; F10, then the same.
    R_altf=$(press_menu_key alt+f)
    mark "Alt+F: $R_altf"
    R_f10=$(press_menu_key F10)
    mark "F10: $R_f10"
  fi
  if [[ -n $R_start ]]; then
    w=$(field "$R_start" size) h=${w#*x} w=${w%x*}
    inspect resize "$exe" $((w + 40)) $((h + 30))
    sleep 0.5
    R_end=$(inspect list "$exe" | grep '^main ')
    echo "after the resize: $R_end" >>"$log"
    inspect close "$exe" || echo "WM_CLOSE could not be posted" >>"$log"
    mark "WM_CLOSE posted"
  fi
  for ((i = 0; i < 150; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "$name: still running 15 s after WM_CLOSE; ending it" >>"$log"
    inspect list "$exe" >>"$log"
    end_program
    kill "$pid" 2>/dev/null
  fi
  wait "$pid"
  state=$?
  running=''
  mark "ended ($state)"
  line=$(cat "$out")
  echo "screenwatch: $line" >>"$log"
  [[ $line =~ program\ ended\ with\ ([0-9]+) ]] && R_exit=${BASH_REMATCH[1]}
  case $state in
    0) R_watch=clean ;;
    1) R_watch="caption showed (in ${line#*platform\'s caption }; $logs/$name-caption.ppm)" ;;
    2) R_watch="nothing showed" ;;
    *) R_watch="watcher failed ($state)" ;;
  esac
  # Whatever of the program is left (a launcher's child outlives the launcher).
  inspect list "$exe" >/dev/null 2>&1 && end_program
  return 0
}

# mark TEXT: a line of the session's log, with the time since the session started.
mark() {
  local now=${EPOCHREALTIME//[.,]/} then=${t0//[.,]/}
  printf '%6d ms  %s\n' $(((now - then) / 1000)) "$*" >>"$log"
}

# press_menu_key KEY: presses KEY in whatever has the focus and prints what it opened: "popup" (a
# popup menu showed within 1.5 s), "bar" (the menu mode only: the bar's first title, or the system
# menu's icon, is selected) or "none"; then leaves the menus.
press_menu_key() {
  local result
  # No modifier left down by anything before (a held Alt turns F10 into Alt+F10).
  xdotool keyup Alt_L Alt_R Control_L Control_R Shift_L Shift_R 2>/dev/null
  xdotool key --clearmodifiers "$1"
  if inspect menu "$exe" 1.5 >>"$log"; then
    result=popup
  elif in_menu_mode; then
    result=bar
  else
    result=none
  fi
  echo "$1: $result" >>"$log"
  leave_menus
  echo "$result"
}

# in_menu_mode: the program's main thread is in the menu mode (the inspector's own status only
# says whether a popup shows).
in_menu_mode() {
  local state
  state=$(inspect menu "$exe")
  [[ $state == *inmenu=1* ]]
}

# Escape only while the menu mode holds on two readings apart: a program's thread reads as in the
# menu mode for a moment after the mode ended, and an Escape pressed then goes to the window (a
# dialog closes on it: taskmgr would end).
leave_menus() {
  local i
  for ((i = 0; i < 4; i++)); do
    in_menu_mode || return 0
    sleep 0.3
    in_menu_mode || return 0
    xdotool key Escape
    sleep 0.2
  done
}

# Ends what is left of the program this session started, by its process ids.
end_program() {
  local p
  for p in $(inspect list "$exe" | sed -n 's/.* pid=\([0-9]*\) .*/\1/p' | sort -u); do
    echo "ending process $p" >>"$logs/inspector.log"
    "$PEMBROX_WINE" taskkill /f /pid "$p" >/dev/null 2>&1
  done
  sleep 1
}

# --- the checks ----------------------------------------------------------------------------
passed=0 failed=0
results=()
check() { # check NAME EXPECTED ACTUAL [NOTE]
  local expected=$2
  ((tamper)) && expected="$expected~"
  if [[ $3 == "$expected" ]]; then
    results+=("PASS  $1: $3${4:+ ($4)}")
    passed=$((passed + 1))
  else
    results+=("FAIL  $1: expected ${expected:-nothing}, got ${3:-nothing}${4:+ ($4)}")
    failed=$((failed + 1))
  fi
}
note() { results+=("      $1"); }

# style_diff UNSKINNED SKINNED: the style bits one has and the other lacks, by name.
style_diff() {
  local -A names=([0x00010000]=WS_MAXIMIZEBOX [0x00020000]=WS_MINIMIZEBOX [0x00040000]=WS_THICKFRAME
    [0x00080000]=WS_SYSMENU [0x00100000]=WS_HSCROLL [0x00200000]=WS_VSCROLL [0x00400000]=WS_DLGFRAME
    [0x00800000]=WS_BORDER [0x01000000]=WS_MAXIMIZE [0x20000000]=WS_MINIMIZE)
  local bit name lost='' gained=''
  for ((bit = 1; bit <= 0x80000000; bit <<= 1)); do
    printf -v name '0x%08X' "$bit"
    name=${names[$name]:-$name}
    if (($1 & bit && !($2 & bit))); then lost+=" $name"; elif (($2 & bit && !($1 & bit))); then gained+=" $name"; fi
  done
  printf '%s' "${lost:+skinned lacks$lost}${lost:+${gained:+; }}${gained:+skinned adds$gained}"
}

rect_of() { printf '%s %s' "$(field "$1" window)" "$(field "$1" size)"; }
row() { # row SESSION LINE_START LINE_END EXIT ALTF F10
  printf '%-12s %-5s %-5s %-20s %-10s %-10s %-10s %-6s %-6s\n' "$1" "$(field "$2" skinned)" "$4" \
    "$(field "$2" window)" "$(field "$2" size)" "$(field "$2" csize)" "$(field "$3" csize)" "$5" "$6"
}

reg_run delete "$key" /f >/dev/null
session unskinned 0 1
u_start=$R_start u_end=$R_end u_exit=$R_exit u_altf=$R_altf u_f10=$R_f10 u_focus=$R_focus u_watch=$R_watch
[[ -n $u_start ]] || { echo "$program showed no main window unskinned (see $logs)"; cat "$logs/unskinned.log"; exit 125; }
u2_start=''
if ((keeps)); then
  session unskinned-2 0 0
  u2_start=$R_start u2_exit=$R_exit
fi

if [[ -n $skin ]]; then
  reg_run delete "$key" /f >/dev/null
  session skinned 1 1
  s_start=$R_start s_end=$R_end s_exit=$R_exit s_altf=$R_altf s_f10=$R_f10 s_watch=$R_watch s_focus=$R_focus s_others=$R_others
  s2_start=''
  if ((keeps)); then
    session skinned-2 1 0
    s2_start=$R_start s2_exit=$R_exit s2_watch=$R_watch
  fi
fi

# --- the report ----------------------------------------------------------------------------
echo "== $program, skin: $skin_name"
printf '%-12s %-5s %-5s %-20s %-10s %-10s %-10s %-6s %-6s\n' session skin exit "window (shown)" size client "client end" Alt+F F10
row unskinned "$u_start" "$u_end" "$u_exit" "$u_altf" "$u_f10"
((keeps)) && row unskinned-2 "$u2_start" "" "$u2_exit" - -
if [[ -n $skin ]]; then
  row skinned "$s_start" "$s_end" "$s_exit" "$s_altf" "$s_f10"
  ((keeps)) && row skinned-2 "$s2_start" "" "$s2_exit" - -
fi
focus="focus at the start: unskinned \"$u_focus\""
[[ -n $skin ]] && focus+=", skinned \"$s_focus\""
echo "$focus"
# Styles and menus as another process sees them: the skin keeps the caption buttons' styles and
# the menu off the window (the program itself is shown its own), so they are only reported.
menubar=$(field "$u_start" menubar)
styles="style/exstyle and menu from outside: unskinned $(field "$u_start" style)/$(field "$u_start" exstyle) menu $menubar"
if [[ -n $skin ]]; then
  styles+=", skinned $(field "$s_start" style)/$(field "$s_start" exstyle) menu $(field "$s_start" menubar)"
  u_style=$(field "$u_start" style) s_style=$(field "$s_start" style)
  diff=$(style_diff "${u_style:-0}" "${s_style:-0}")
  [[ -n $diff ]] && styles+=" ($diff)"
fi
echo "$styles"

if ((keeps)); then
  # Whether the program really keeps its size: unskinned, the second session has the size the
  # first ended with.
  if [[ $(field "$u2_start" size) == "$(field "$u_end" size)" ]]; then
    note "unskinned, the second session comes back at $(field "$u2_start" size): the program keeps its size"
  else
    note "unskinned, the second session came back at $(field "$u2_start" size), not $(field "$u_end" size): the program does not keep its size"
  fi
fi

if [[ -n $skin ]]; then
  check "skinned: the main window answers the skin's query" 1 "$(field "$s_start" skinned)"
  check "client size, skinned against unskinned" "$(field "$u_start" csize)" "$(field "$s_start" csize)" \
    "windows: unskinned $(rect_of "$u_start"), skinned $(rect_of "$s_start")"
  u_mdi=$(grep '^mdichild ' "$logs/unskinned-windows.txt" | while read -r l; do field "$l" csize; echo; done | paste -sd' ')
  s_mdi=$(grep '^mdichild ' "$logs/skinned-windows.txt" | while read -r l; do field "$l" csize; echo; done | paste -sd' ')
  if [[ -n $u_mdi$s_mdi ]]; then
    check "MDI children's client sizes, skinned against unskinned" "${u_mdi:-none}" "${s_mdi:-none}"
  fi
  check "client size after the resize by (+40, +30), skinned against unskinned" "$(field "$u_end" csize)" "$(field "$s_end" csize)"
  check "Alt+F, skinned against unskinned" "$u_altf" "$s_altf"
  if [[ $menubar == 1 && $u_f10 != none ]]; then
    check "F10 opens the first menu (skinned; unskinned: $u_f10)" popup "$s_f10"
  elif [[ $menubar == 1 ]]; then
    # The program keeps F10 for itself (regedit's tree): so it does skinned.
    check "F10 does what it does unskinned" "$u_f10" "$s_f10"
  else
    check "F10 with no menu bar opens no popup (unskinned: $u_f10)" no "$([[ $s_f10 == popup ]] && echo yes || echo no)" \
      "skinned: $s_f10"
  fi
  check "exit code, skinned against unskinned" "$u_exit" "$s_exit"
  screen=1
  if [[ -n $s_others ]]; then
    results+=("SKIP  screen: Wine's desktop process showed \"$s_others\" with the platform's caption; skinned: $s_watch")
    screen=0
  elif [[ $u_watch != caption* ]]; then
    results+=("SKIP  screen: unskinned, the watcher does not see the program's own caption ($u_watch); skinned: $s_watch")
    screen=0
  fi
  ((screen)) && check "screen: no capture shows the platform's caption (unskinned, the watcher sees it)" clean "$s_watch"
  if ((keeps)); then
    check "second skinned session: window size as the first ended" "$(field "$s_end" size)" "$(field "$s2_start" size)" \
      "unskinned: $(field "$u_end" size) then $(field "$u2_start" size)"
    check "second skinned session: client size as the first ended" "$(field "$s_end" csize)" "$(field "$s2_start" csize)" \
      "unskinned: $(field "$u_end" csize) then $(field "$u2_start" csize)"
    check "second skinned session: window position as the first ended" "$(field "$s_end" window | cut -d, -f1-2)" \
      "$(field "$s2_start" window | cut -d, -f1-2)" \
      "unskinned: $(field "$u_end" window | cut -d, -f1-2) then $(field "$u2_start" window | cut -d, -f1-2)"
    check "second skinned session: exit code" "$u_exit" "$s2_exit"
    ((screen)) && check "second skinned session: screen" clean "$s2_watch"
  fi
else
  note "no skin: nothing to compare (Alt+F $u_altf, F10 $u_f10, exit $u_exit)"
fi
printf '%s\n' "${results[@]}"
echo "logs: $logs"
echo "RESULT $program $skin_name: $passed passed, $failed failed"
((failed == 0))
