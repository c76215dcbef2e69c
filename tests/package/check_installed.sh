#!/usr/bin/env bash
# Installs the Debian package into this very machine, as a user would, and
# tries it as a throwaway ordinary user with a fresh home: versions and usage,
# manual pages, bash completion, where the files lie after a real run of
# brivano-run against a local stand-in engine (and the move of data that an
# earlier version kept among the settings), brivano-run's early refusal of an
# output it cannot write, and, under Xvfb, the window's save dialog in
# Chinese in a non-Chinese locale, proposing the documents folder. Then it
# removes the package and the user and checks that nothing of the package is
# left. One PASS, FAIL or SKIP line per check; exit status 1 when one failed.
#
# Not a CTest test: it changes the machine (apt-get install and remove,
# useradd and userdel), so it is run by hand, as root, before a release.
# Usage: check_installed.sh PATH/TO/brivano_VERSION_ARCH.deb
set -uo pipefail

user=brivano-check
mobiles=(13800138000 13912345678)
shots=/tmp/shots
screenshot="$shots/installed-save-dialog.png"
python=/usr/bin/python3 # Debian's, whatever else stands first on root's PATH
[ -x "$python" ] || python=python3

if (($# != 1)) || [ ! -f "$1" ]; then
  echo "usage: $0 PATH/TO/brivano_*.deb" >&2
  exit 2
fi
deb="$(realpath "$1")"
version="$(dpkg-deb --field "$deb" Version)" || exit 2
cd / || exit 2 # the user's programs start here, not in a folder only root may enter
[ "$(id -u)" -eq 0 ] || { echo "check_installed.sh: run it as root (it installs the package)" >&2; exit 2; }
# Removing at the end a package that someone else installed would surprise them.
if dpkg-query -W -f='${Status}' brivano 2>/dev/null | grep -q 'ok installed'; then
  echo "check_installed.sh: brivano is installed already; remove it first" >&2
  exit 2
fi
if id "$user" >/dev/null 2>&1; then
  echo "check_installed.sh: user $user exists already (left by an earlier run?); delete it first" >&2
  exit 2
fi

work="$(mktemp -d /tmp/brivano-installed.XXXXXX)"
chmod 755 "$work" # the user must reach its home, the site and the frame buffer in here
home="$work/$user"
passes=0
failures=0
skips=0
installed=0
user_made=0
declare -A runners=() # name -> pid of the runuser that started it

pass() {
  echo "PASS  $*"
  passes=$((passes + 1))
}
fail() {
  echo "FAIL  $*"
  failures=$((failures + 1))
}
skip() {
  echo "SKIP  $*"
  skips=$((skips + 1))
}
# check TEXT COMMAND...: PASS or FAIL by the command's status.
check() {
  local text="$1"
  shift
  if "$@"; then pass "$text"; else fail "$text"; fi
}
note() { echo "      $*"; }
section() { echo "== $*"; }

# The user's own environment, as a login would give it; no DISPLAY.
as_user() {
  runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 USER="$user" \
    LOGNAME="$user" SHELL=/bin/bash XDG_RUNTIME_DIR="$work/runtime" "$@"
}
# write_as_user FILE: standard input into FILE, owned by the user.
# shellcheck disable=SC2016 # $1 is the inner shell's
write_as_user() { as_user sh -c 'cat >"$1"' _ "$1"; }

# start_as_user NAME COMMAND...: COMMAND as the user in the background, its
# output in $work/NAME.log. The pid file holds the program's own pid, so
# that a signal reaches the program and not runuser, which would pass it on
# and kill the program two seconds later.
start_as_user() {
  local name="$1"
  shift
  rm -f "$work/pids/$name"
  # shellcheck disable=SC2016 # $$ and $0 are the inner shell's
  as_user bash -c 'echo $$ >"$0" && exec "$@"' "$work/pids/$name" "$@" >"$work/$name.log" 2>&1 &
  runners[$name]=$!
  local i
  for ((i = 0; i < 50; i++)); do
    [ -s "$work/pids/$name" ] && return 0
    sleep 0.1
  done
  return 1
}
program_pid() { cat "$work/pids/$1" 2>/dev/null; }
# stop_program NAME [SECONDS]: SIGTERM to the program, then waits for it;
# returns its exit status (124 when it did not end in time, and it is killed).
stop_program() {
  local name="$1" seconds="${2:-10}" runner="${runners[$1]:-}" pid i
  [ -n "$runner" ] || return 0
  pid="$(program_pid "$name")"
  [ -n "$pid" ] && kill -TERM "$pid" 2>/dev/null
  for ((i = 0; i < seconds * 10; i++)); do
    kill -0 "$runner" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$runner" 2>/dev/null; then
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    wait "$runner" 2>/dev/null
    unset "runners[$name]"
    return 124
  fi
  wait "$runner"
  local status=$?
  unset "runners[$name]"
  return "$status"
}

cleanup() {
  local name
  for name in "${!runners[@]}"; do stop_program "$name" 5 >/dev/null 2>&1; done
  if ((installed)); then
    echo "(cleanup) removing the package"
    apt-get remove -y brivano >"$work/apt-remove-cleanup.log" 2>&1
  fi
  if ((user_made)); then
    local pid
    for pid in $(ps -o pid= -u "$user" 2>/dev/null); do kill -KILL "$pid" 2>/dev/null; done
    userdel -r "$user" >/dev/null 2>&1
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

contains_all() { # FILE VALUE...
  local file="$1" value
  shift
  [ -f "$file" ] || return 1
  for value in "$@"; do grep -q "$value" "$file" || return 1; done
}
# The names in a folder, sorted, on one line ("-" when it does not exist).
names_in() {
  if [ -d "$1" ]; then (cd "$1" && find . -mindepth 1 -maxdepth 1 -printf '%f\n' | LC_ALL=C sort | paste -sd' ' -); else echo "-"; fi
}
requests() { grep -c '"GET ' "$work/http.log"; }

# ---------------------------------------------------------------------------
section "install $(basename "$deb")"
installed=1
if apt-get install -y "$deb" >"$work/apt-install.log" 2>&1; then
  pass "0.1  apt-get install -y $(basename "$deb")"
else
  fail "0.1  apt-get install -y $(basename "$deb") (status $?); its log's end:"
  tail -15 "$work/apt-install.log" | sed 's/^/      /'
  exit 1
fi
mapfile -t package_files < <(dpkg -L brivano)
note "the package put ${#package_files[@]} paths on the machine"

useradd --create-home --home-dir "$home" --shell /bin/bash --user-group "$user" || {
  fail "0.2  useradd $user"
  exit 1
}
user_made=1
install -d -o "$user" -g "$user" -m 700 "$work/runtime"
install -d -o "$user" -g "$user" -m 755 "$work/pids" "$work/site" "$work/fb"
pass "0.2  throwaway user $user, fresh home $home"

# ---------------------------------------------------------------------------
section "1 versions and usage"
for program in brivano brivano-cli brivano-run; do
  output="$(as_user timeout 20 "$program" --version 2>&1)"
  status=$?
  if [ "$status" -eq 0 ] && [[ "$output" == *"$version"* ]]; then
    pass "1    $program --version: \"$output\""
  else
    fail "1    $program --version: status $status, \"$output\""
  fi
done
output="$(as_user timeout 20 brivano --help 2>&1)"
status=$?
if [ "$status" -eq 0 ] && [[ "$output" == *"用法"*brivano* ]]; then
  pass "1    brivano --help without a display prints its usage: \"$(head -1 <<<"$output")\""
else
  fail "1    brivano --help without a display: status $status, \"$output\""
fi

# ---------------------------------------------------------------------------
section "2 manual pages"
output="$(as_user man -w brivano brivano-cli brivano-run 2>&1)"
status=$?
if [ "$status" -eq 0 ] && [ "$(wc -l <<<"$output")" -eq 3 ]; then
  pass "2    man -w finds the three pages: $(paste -sd' ' <<<"$output")"
else
  fail "2    man -w brivano brivano-cli brivano-run: status $status, \"$output\""
fi
rendered="$(as_user MANWIDTH=80 timeout 30 man brivano-cli 2>"$work/man.err")"
status=$?
# Each command heads its paragraph in the COMMANDS section.
commands_section="$(sed -n '/^COMMANDS$/,/^[A-Z][A-Z ]*$/p' <<<"$rendered")"
missing=()
for command in url extract merge keywords export rerun; do
  grep -Eq "^ +$command( |$)" <<<"$commands_section" || missing+=("$command")
done
if [ "$status" -eq 0 ] && [ "${#missing[@]}" -eq 0 ]; then
  pass "2    man brivano-cli renders ($(wc -l <<<"$rendered") lines) and describes url extract merge keywords export rerun"
else
  fail "2    man brivano-cli: status $status, commands missing: ${missing[*]:-none}; $(head -c 300 "$work/man.err")"
fi

# ---------------------------------------------------------------------------
section "3 bash completion"
# An interactive bash of the user's. With Debian's bash-completion the files
# are found by its loader, as on Tab; without it they are sourced, as a
# ~/.bashrc would.
# shellcheck disable=SC2016 # the script runs in the user's shell
completion_script='
if [ -r /usr/share/bash-completion/bash_completion ]; then
  . /usr/share/bash-completion/bash_completion
  for p in brivano-cli brivano-run; do __load_completion "$p" || echo "loader found nothing for $p" >&2; done
else
  for p in brivano-cli brivano-run; do . "/usr/share/bash-completion/completions/$p"; done
fi
offer() {
  COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}; COMPREPLY=()
  local function; function="$(complete -p "$1" | sed -n "s/.*-F \([^ ]*\).*/\1/p")"
  [ -n "$function" ] || { echo "no completion for $1"; return; }
  "$function" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd" " -
}
offer brivano-cli ex
offer brivano-run --eng
'
if [ -r /usr/share/bash-completion/bash_completion ]; then how="through bash-completion's loader"; else how="sourced (bash-completion is not installed)"; fi
mapfile -t offers < <(cd "$home" && as_user HISTFILE=/dev/null timeout 20 bash --norc --noprofile -i -c "$completion_script" 2>"$work/completion.err")
if [ "${offers[0]:-}" = "export extract" ]; then
  pass "3    brivano-cli ex<Tab> offers: ${offers[0]} ($how)"
else
  fail "3    brivano-cli ex<Tab> offers: '${offers[0]:-}' ($how); $(grep -v 'job control\|terminal process group' "$work/completion.err" | head -3)"
fi
if [ "${offers[1]:-}" = "--engine" ]; then
  pass "3    brivano-run --eng<Tab> offers: ${offers[1]}"
else
  fail "3    brivano-run --eng<Tab> offers: '${offers[1]:-}'"
fi

# ---------------------------------------------------------------------------
section "4 where the files lie, after a real run of brivano-run"
cat >"$work/site/s.html" <<'EOF'
<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>深圳 旅行社_百度搜索</title></head>
<body><div id="content_left">
<div class="result c-container"><h3>深圳某某国际旅行社</h3><p>联系人：王先生 手机：13800138000</p></div>
<div class="result c-container"><h3>深圳另一家旅行社</h3><p>李女士 手机 13912345678，欢迎来电</p></div>
</div></body></html>
EOF
chmod 644 "$work/site/s.html"
port=""
if start_as_user http python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work/site"; then
  for ((i = 0; i < 50; i++)); do
    port="$(sed -n 's/^Serving HTTP on 127\.0\.0\.1 port \([0-9]*\).*/\1/p' "$work/http.log")"
    [ -n "$port" ] && break
    sleep 0.1
  done
fi
if [ -z "$port" ]; then
  fail "4    the stand-in engine (python3 -m http.server) did not start: $(head -3 "$work/http.log")"
else
  note "stand-in engine: python3 -m http.server as $user on 127.0.0.1:$port serving s.html"
fi
config="$home/.config/brivano"
data="$home/.local/share/brivano"
as_user mkdir -p "$config"
printf '[baidu]\nhost=http://127.0.0.1:%s\npath=/s.html?wd=\n' "$port" | write_as_user "$config/engines.ini"
printf '深圳 旅行社\n' | write_as_user "$home/kw.txt"
touch "$work/stamp"
sleep 1 # a file written in this second is then newer than the stamp
(cd "$home" && as_user timeout 120 bash -c 'cd && exec brivano-run --keywords kw.txt --engine baidu --kind mobile --pages 1 --speed 3 --out ~/leads.csv') \
  >"$work/run.out" 2>"$work/run.err"
status=$?
if [ "$status" -eq 0 ] && contains_all "$home/leads.csv" "${mobiles[@]}"; then
  pass "4.1  brivano-run harvested from the stand-in: status 0, ~/leads.csv holds ${mobiles[*]}; it said: \"$(tail -1 "$work/run.err")\""
else
  fail "4.1  brivano-run: status $status, leads.csv: $(head -c 300 "$home/leads.csv" 2>&1); stderr:"
  sed 's/^/      /' "$work/run.err" | tail -8
fi
check "4.1  the stand-in engine was asked for s.html ($(grep -c '"GET /s.html' "$work/http.log") request)" \
  grep -q '"GET /s.html?wd=' "$work/http.log"
check "4.2  the data (brivano.db, brivano-run.ini) lie in ~/.local/share/brivano: $(names_in "$data")" \
  test -f "$data/brivano.db" -a -f "$data/brivano-run.ini"
config_names="$(names_in "$config")"
check "4.3  ~/.config/brivano holds the settings alone: $config_names" \
  test "$config_names" = "engines.ini" -o "$config_names" = "brivano.ini engines.ini"
elsewhere="$(cd "$home" && find . -newer "$work/stamp" -type f ! -path ./leads.csv ! -path './.local/share/brivano/*' ! -path './.config/brivano/*' | paste -sd' ' -)"
check "4.3  brivano-run wrote nothing else in the home folder${elsewhere:+: $elsewhere}" test -z "$elsewhere"

# As an earlier version kept them: data among the settings, no data folder.
# shellcheck disable=SC2016 # $1 and $2 are the inner shell's
as_user sh -c 'mv "$1"/* "$2"/ && rmdir "$1"' _ "$data" "$config"
note "moved back as an earlier version kept them: ~/.config/brivano holds $(names_in "$config"); ~/.local/share/brivano: $(names_in "$data")"
(cd "$home" && as_user timeout 60 brivano-cli export --format txt -o "$home/out.txt") >"$work/export.out" 2>"$work/export.err"
status=$?
check "4.4  brivano-cli export --format txt -o ~/out.txt: status $status, \"$(cat "$work/export.out" "$work/export.err" | paste -sd' ' -)\"" \
  test "$status" -eq 0
check "4.4  the data moved over to ~/.local/share/brivano: $(names_in "$data")" \
  test -f "$data/brivano.db" -a -f "$data/brivano-run.ini"
config_names="$(names_in "$config")"
check "4.4  none left in ~/.config/brivano: $config_names" test "$config_names" = "engines.ini"
check "4.4  ~/out.txt holds the harvested values: $(tr -d '\r' <"$home/out.txt" 2>&1 | paste -sd' ' -)" \
  contains_all "$home/out.txt" "${mobiles[@]}"

# XDG_DATA_HOME elsewhere: a run and an export there, the default folder untouched.
elsewhere_data="$home/elsewhere/data"
as_user mkdir -p "$elsewhere_data"
before="$(cd "$data" && stat -c '%n %s %Y' -- * | LC_ALL=C sort)"
(cd "$home" && as_user XDG_DATA_HOME="$elsewhere_data" timeout 120 bash -c 'cd && exec brivano-run --keywords kw.txt --engine baidu --kind mobile --pages 1 --speed 3 --out ~/leads2.csv') \
  >"$work/run2.out" 2>"$work/run2.err"
status=$?
if [ "$status" -eq 0 ] && contains_all "$home/leads2.csv" "${mobiles[@]}"; then
  pass "4.5  brivano-run with XDG_DATA_HOME=~/elsewhere/data: status 0, ~/leads2.csv holds ${mobiles[*]}"
else
  fail "4.5  brivano-run with XDG_DATA_HOME: status $status; $(tail -3 "$work/run2.err" | paste -sd' ' -)"
fi
check "4.5  its data lie in \$XDG_DATA_HOME/brivano: $(names_in "$elsewhere_data/brivano")" \
  test -f "$elsewhere_data/brivano/brivano.db" -a -f "$elsewhere_data/brivano/brivano-run.ini"
check "4.5  ~/.local/share/brivano stayed as it was" \
  test "$(cd "$data" && stat -c '%n %s %Y' -- * | LC_ALL=C sort)" = "$before"
(cd "$home" && as_user XDG_DATA_HOME="$elsewhere_data" timeout 60 brivano-cli export --format txt -o "$home/out2.txt") \
  >"$work/export2.out" 2>"$work/export2.err"
status=$?
check "4.5  brivano-cli export reads \$XDG_DATA_HOME's store: status $status, ~/out2.txt: $(tr -d '\r' <"$home/out2.txt" 2>&1 | paste -sd' ' -)" \
  contains_all "$home/out2.txt" "${mobiles[@]}"

# ---------------------------------------------------------------------------
section "5 an output that cannot be written ends brivano-run before any request"
before="$(requests)"
started=$SECONDS
(cd "$home" && as_user timeout 20 bash -c 'cd && exec brivano-run --keywords kw.txt --engine baidu --out /nonexistent/x.csv') \
  >"$work/run3.out" 2>"$work/run3.err"
status=$?
elapsed=$((SECONDS - started))
sleep 1 # a request already on its way would be logged by now
first="$(head -1 "$work/run3.err")"
check "5    exit status 1 (got $status) after ${elapsed} s (at most 5)" test "$status" -eq 1 -a "$elapsed" -le 5
# shellcheck disable=SC2016 # $1 is the inner shell's
check "5    its message: \"$first\"" bash -c '[[ $1 == brivano-run：* ]] && LC_ALL=C.UTF-8 grep -qP "\p{Han}" <<<"$1"' _ "$first"
check "5    the stand-in engine got no request ($before before, $(requests) after)" test "$(requests)" -eq "$before"

# ---------------------------------------------------------------------------
section "6 the window's save dialog: Chinese in a C.UTF-8 locale, in ~/Documents"
# The window loads Qt's own Chinese catalogues from Qt's translations
# folder; a machine that lacks them shows Qt's dialogs in English.
if [ -f /usr/share/qt6/translations/qtbase_zh_CN.qm ]; then
  note "this machine has Qt's Chinese catalogues ($(dpkg -S /usr/share/qt6/translations/qtbase_zh_CN.qm 2>/dev/null | cut -d: -f1))"
fi
# apt brings them when the package names them, or when a library it depends
# on recommends them (Debian's libqt6core6 does).
catalogues_from=""
if dpkg-deb --field "$deb" Depends Recommends | grep -q 'qt6-translations-l10n'; then
  catalogues_from="the package's own Depends or Recommends"
else
  for dependency in $(dpkg-deb --field "$deb" Depends | sed 's/([^)]*)//g; s/[,|]/\n/g' | sed 's/^ *//; s/ *$//'); do
    if apt-cache show --no-all-versions "$dependency" 2>/dev/null | grep -E '^(Depends|Pre-Depends|Recommends):' |
      grep -q 'qt6-translations-l10n'; then
      catalogues_from="$dependency, which the package depends on"
      break
    fi
  done
fi
check "6.1  installing the package brings Qt's Chinese catalogues, qt6-translations-l10n (named by ${catalogues_from:-nothing})" \
  test -n "$catalogues_from"
if ! command -v xdotool >/dev/null || ! command -v Xvfb >/dev/null; then
  skip "6    xdotool or Xvfb is not installed"
else
  display=""
  for ((n = 90; n < 200; n++)); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=":$n"; break; }
  done
  # X servers of ordinary users expect the socket folder to be there already.
  [ -d /tmp/.X11-unix ] || install -d -m 1777 /tmp/.X11-unix
  x() { as_user DISPLAY="$display" "$@"; }
  # wait_window SECONDS NAME: the id of the visible window whose title matches NAME.
  wait_window() { x timeout "$1" xdotool search --sync --onlyvisible --name "$2" 2>/dev/null | head -1; }
  display_up() { x xdotool getdisplaygeometry >/dev/null 2>&1; }
  start_as_user xvfb Xvfb "$display" -screen 0 1280x800x24 -fbdir "$work/fb" -nolisten tcp
  for ((i = 0; i < 100; i++)); do
    display_up && break
    sleep 0.1
  done
  check "6.2  Xvfb $display started as $user, frame buffer in $work/fb" display_up

  # A keyword and a short run in the window, against the stand-in engine
  # whatever engine the window starts with: 保存 does nothing on an empty list.
  as_user mkdir -p "$home/Documents" "$data"
  for engine in baidu sogou 360 bing; do
    printf '[%s]\nhost=http://127.0.0.1:%s\npath=/s.html?wd=\n' "$engine" "$port"
  done | write_as_user "$config/engines.ini"
  printf '[config]\r\nspeed=3\r\nmaxpage=1\r\n' | write_as_user "$config/brivano.ini"
  printf 'shenzhen\r\n' | write_as_user "$data/brivanobody.ini"
  start_as_user brivano env DISPLAY="$display" LANG=C.UTF-8 brivano
  window="$(wait_window 60 'Brivano.*V1\.0')"
  if [ -z "$window" ]; then
    fail "6.3  the main window did not show; brivano said: $(head -5 "$work/brivano.log" | paste -sd' ' -)"
  else
    pass "6.3  the installed brivano shows its main window (LANG=C.UTF-8)"
    sleep 2
    # The tool bar's buttons at the window's top left, with the captions'
    # widths in the window's font: 搜索 first, 保存 third.
    click_tool() { x xdotool mousemove --window "$window" "$1" 14 click 1; }
    before="$(requests)"
    click_tool 20
    if [ -n "$(wait_window 20 '搜索参数设置')" ]; then
      x xdotool key Return
      for ((i = 0; i < 300; i++)); do
        [ "$(requests)" -gt "$before" ] && break
        sleep 0.1
      done
      sleep 5 # the page's 3 seconds and the harvest
    fi
    check "6.4  搜索 ran the keyword against the stand-in engine" test "$(requests)" -gt "$before"
    dialog=""
    for _ in 1 2; do
      click_tool 137
      dialog="$(wait_window 15 '搜索结果保存为')"
      [ -n "$dialog" ] && break
      sleep 5
    done
    if [ -z "$dialog" ]; then
      fail "6.5  保存 opened no dialog titled 搜索结果保存为"
    else
      pass "6.5  保存 opens the dialog 搜索结果保存为"
      sleep 2 # painted
      mkdir -p "$shots"
      cat >"$work/xwd2png.py" <<'EOF'
# An XWD screen dump (ZPixmap, 24 or 32 bits a pixel) as a PNG file.
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
f = struct.unpack('>25I', data[:100])
header_size, version, fmt, width, height = f[0], f[1], f[2], f[4], f[5]
byte_order, bpp, bpl, ncolors = f[7], f[11], f[12], f[19]
masks = f[14:17]
if version != 7 or fmt != 2 or bpp not in (24, 32):
    sys.exit('unsupported XWD: version %d, format %d, %d bits' % (version, fmt, bpp))
start = header_size + 12 * ncolors
step = bpp // 8
shifts = [(m & -m).bit_length() - 1 for m in masks]
order = 'little' if byte_order == 0 else 'big'
rows = []
for y in range(height):
    line = data[start + y * bpl:start + y * bpl + width * step]
    row = bytearray(b'\0')
    for x in range(0, len(line), step):
        p = int.from_bytes(line[x:x + step], order)
        row += bytes(((p & m) >> s) & 255 for m, s in zip(masks, shifts))
    rows.append(bytes(row))
def chunk(kind, body):
    return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
png += chunk(b'IDAT', zlib.compress(b''.join(rows), 6)) + chunk(b'IEND', b'')
open(sys.argv[2], 'wb').write(png)
EOF
      check "6.6  screen captured: $screenshot (look: 查找范围 ~/Documents, 文件名称, 保存, 取消)" \
        "$python" "$work/xwd2png.py" "$work/fb/Xvfb_screen0" "$screenshot"
      x xdotool key Escape
      sleep 1
      check "6.7  Escape closes the dialog" test -z "$(x xdotool search --onlyvisible --name '搜索结果保存为' 2>/dev/null)"
      # The folder the dialog proposes, read back: Enter saves there.
      click_tool 137
      if [ -n "$(wait_window 15 '搜索结果保存为')" ]; then
        x xdotool key Return
        for ((i = 0; i < 100; i++)); do
          [ -s "$home/Documents/2.txt" ] && break
          sleep 0.1
        done
      fi
      check "6.8  the dialog's folder is ~/Documents: Enter saved $(names_in "$home/Documents") there" \
        contains_all "$home/Documents/2.txt" "${mobiles[@]}"
    fi
  fi
  stop_program brivano 20
  status=$?
  check "6.9  SIGTERM ends brivano (status $status)" test "$status" -eq 0
  config_names="$(names_in "$config")"
  check "6.10 the window keeps settings in ~/.config/brivano ($config_names), its data in ~/.local/share/brivano ($(names_in "$data"))" \
    test "$config_names" = "brivano-window.ini brivano.ini engines.ini" -a -f "$data/brivanobody.ini"
  stop_program xvfb 10
fi
stop_program http 10

# ---------------------------------------------------------------------------
section "removal"
if apt-get remove -y brivano >"$work/apt-remove.log" 2>&1; then
  installed=0
  pass "7.1  apt-get remove -y brivano"
else
  fail "7.1  apt-get remove -y brivano (status $?):"
  tail -10 "$work/apt-remove.log" | sed 's/^/      /'
fi
status="$(dpkg-query -W -f='${Status}' brivano 2>/dev/null)"
check "7.2  dpkg no longer has it installed (${status:-no record})" \
  test -z "$status" -o "$status" = "unknown ok not-installed" -o "$status" = "deinstall ok not-installed"
left=()
for path in "${package_files[@]}"; do
  [ "$path" = /. ] && continue
  [ -e "$path" ] || continue
  # A folder stays when another package owns it or it holds others' files.
  if [ -d "$path" ] && { dpkg -S "$path" >/dev/null 2>&1 || [ -n "$(ls -A "$path")" ]; }; then continue; fi
  left+=("$path")
done
check "7.3  no file or folder of the package is left (of ${#package_files[@]})${left[*]:+: ${left[*]}}" test "${#left[@]}" -eq 0
check "7.4  the user's own files stay (~/.config/brivano/engines.ini, ~/.local/share/brivano/brivano.db)" \
  test -f "$config/engines.ini" -a -f "$data/brivano.db"
uid="$(id -u "$user")"
strays="$(ps -o pid=,comm= -u "$user" | paste -sd' ' -)"
check "7.5  no process of $user is left${strays:+: $strays}" test -z "$strays"
for pid in $(ps -o pid= -u "$user"); do kill -KILL "$pid" 2>/dev/null; done
if userdel -r "$user" 2>"$work/userdel.err" || ! id "$user" >/dev/null 2>&1; then
  user_made=0
  pass "7.6  userdel -r $user"
else
  fail "7.6  userdel -r $user: $(cat "$work/userdel.err")"
fi
others="$(find /tmp -xdev -uid "$uid" ! -path "$work" ! -path "$work/*" 2>/dev/null | paste -sd' ' -)"
check "7.7  the user left nothing in /tmp${others:+: $others}" test -z "$others"
[ -n "$others" ] && find /tmp -xdev -uid "$uid" ! -path "$work" ! -path "$work/*" -delete 2>/dev/null

echo "== $passes passed, $failures failed, $skips skipped"
((failures == 0))
