#!/bin/sh
# Runs the program at a real terminal (a tmux pane, 80x40) and checks what a
# person sees: the screen after the five answers, the key wait, the exit
# status and the terminal settings afterwards.
#   terminal_test.sh [--windows] EXPECTED_SCREEN PROGRAM [ITS ARGUMENTS]
# e.g. terminal_test.sh screen qemu-aarch64 -L /usr/aarch64-linux-gnu prog
# --windows: a Windows build under wine, whose "cls" and "pause" are the
# command interpreter's: the screen ends with the interpreter's own pause
# prompt, the terminal's settings are wine's business, and only the worked
# example is run (the other cases are about the POSIX key wait).
set -eu
windows=false
if [ "$1" = --windows ]; then
  windows=true
  shift
  export WINEDEBUG=-all
fi
pause_prompt="Press any key to continue . . ."
$windows && pause_prompt="Press any key to continue..."
expected=$1
shift
program=$(printf "'%s' " "$@")
work=$(mktemp -d)
# Runs the program with its own pid written down first, for the signals.
wrapper=$(mktemp)
printf '#!/bin/sh\necho $$ >%s/pid\nexec %s\n' "$work" "$program" >"$wrapper"
chmod +x "$wrapper"
runs=0
socket="morvantic-test-$$-0"
tmux_() { tmux -L "$socket" "$@"; }
cleanup() { tmux_ kill-server 2>/dev/null || true; rm -rf "$work" "$wrapper"; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- screen:"; screen; exit 1; }
screen() { tmux_ capture-pane -p -t t; }
joined() { tmux_ capture-pane -p -J -t t; }  # wrapped lines joined

# Waits until the command succeeds, looking again and again, at most about
# 30 s (wine's first start in a session takes a few seconds): each step
# waits for what it needs to see, however slowly the machine runs.
wait_until() {
  what=$1
  shift
  i=0
  until "$@"; do
    i=$((i + 1))
    [ $i -lt 600 ] || fail "waited in vain for $what"
    sleep 0.05
  done
}
shows() { joined | grep -qF -- "$1"; }
ended() { ! kill -0 "$1" 2>/dev/null; }
# Going on after a stop, the process waits for a key again: no longer
# stopped, and the terminal back in the wait's settings. (The shell's own
# line editing also turns echo off, but only while the job is stopped.)
waits_again() {
  [ "$(sed 's/.*) //' "/proc/$1/stat" | cut -d' ' -f1)" != T ] &&
    stty -F "$2" -a | grep -q -- "-icanon"
}
wait_for() { wait_until "the screen to show: $1" shows "$1"; }

# Starts one run in a fresh pane. The pane's shell records the terminal
# settings before and after the run and the run's status.
# Each run gets a tmux server of its own, so that none races the last one's
# shutdown.
start() {
  tmux_ kill-server 2>/dev/null || true
  runs=$((runs + 1))
  socket="morvantic-test-$$-$runs"
  rm -f "$work"/*
  tmux_ -f /dev/null new-session -d -s t -x 80 -y 40 \
    "stty -g >'$work/before'; $1; echo \$? >'$work/status.tmp';
     stty -g >'$work/after'; mv '$work/status.tmp' '$work/status'; sleep 60"
}

# Waits for the run to end; checks status 0 and the settings restored.
finished() {
  wait_until "the program to end" test -f "$work/status"
  [ "$(cat "$work/status")" = "${1:-0}" ] || fail "status $(cat "$work/status")"
  $windows || cmp -s "$work/before" "$work/after" || fail "terminal settings changed"
}

answer() {
  wait_for "$1"
  tmux_ send-keys -t t "$2" Enter
}

# 1. The worked example, typed one answer per prompt; a plain key ends it.
start "$program"
answer "(mu):" 100
answer "Plate Resistor (ohms):" 100000
answer "Resistence (ohms):" 62500
answer "Impedance (ohms):" 1000000
answer "Cathode Resistor (ohms):" 1500
wait_for "$pause_prompt"
screen | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}' >"$work/screen"
{ sed '$d' "$expected"; echo "$pause_prompt"; } >"$work/expected"
diff "$work/expected" "$work/screen" || fail "screen differs"
tmux_ send-keys -t t x
finished
echo "ok: worked example, screen and key"
$windows && exit 0

# 2. An arrow key at the key wait is one key: the rest of its escape
# sequence must not be left for the shell.
start "$wrapper; cat -v"
answer "(mu):" "1 2 3 4 5"
wait_for "Press any key"
tmux_ send-keys -t t Up
wait_until "the key to end the wait" ended "$(cat "$work/pid")"
tmux_ send-keys -t t "after" Enter C-d
finished
# The terminal's echo of "after" and cat's copy of it, and nothing else.
[ "$(screen | grep -cx after)" = 2 ] || fail "the arrow key left bytes behind"
echo "ok: an arrow key at the key wait"

# Ctrl-C, Ctrl-Z, Ctrl-S and Ctrl-Q are keys there, not signals or flow
# control (the pane's shell has no job control: a stopped run never ends).
for key in C-c C-z C-s C-q; do
  start "$program"
  answer "(mu):" "1 2 3 4 5"
  wait_for "Press any key"
  tmux_ send-keys -t t "$key"
  finished
  echo "ok: $key at the key wait"
done

# 3. Keys at a prompt. Ctrl-D is the end of input: the other prompts
# follow on one line, then the results and the key wait. Ctrl-C ends the
# run as SIGINT does, with status 130 and the terminal as it was (the
# pane's shell traps SIGINT only so that it lives on to record that).
for key in C-d C-c; do
  start "trap : INT; $program"
  answer "(mu):" 100
  wait_for "Plate Resistor (ohms):"
  tmux_ send-keys -t t "$key"
  if [ "$key" = C-c ]; then
    finished 130
  else
    wait_for "Type Plate's Internal Resistence (ohms): Type Load Impedance (ohms): Type Cathode Resistor (ohms):"
    wait_for "Press any key"
    tmux_ send-keys -t t q
    finished
  fi
  echo "ok: $key at a prompt"
done

# 4. Answers piped in, the screen a terminal that already holds text:
# cleared (the banner at the top, the old text gone), results, no wait.
start "seq 101 130; printf '100 100000 62500 1000000 1500\\n' | $program"
finished
screen | grep -qF "Impedance (Z): 176277" || fail "no results"
screen | grep -qF "Press any key" && fail "waited for a key"
screen | sed -n 3p | grep -qF "MORVANTIC" || fail "screen not cleared"
screen | grep -q "^1[0-3][0-9]\$" && fail "the old text is still on the screen"
echo "ok: piped answers at a terminal"

# 5. SIGTERM, SIGHUP, SIGINT or SIGQUIT at the key wait (where the keys
# send no signal, so it comes from outside): the terminal is restored,
# then the program ends as the signal would (SIGQUIT without a core file).
for signal in TERM:143 HUP:129 INT:130 QUIT:131; do
  start "ulimit -c 0; $wrapper"
  answer "(mu):" "1 2 3 4 5"
  wait_for "Press any key"
  kill -"${signal%:*}" "$(cat "$work/pid")"
  finished "${signal#*:}"
  echo "ok: SIG${signal%:*} at the key wait"
done

# 6. Started with SIGTERM ignored (as under nohup): it stays ignored at the
# key wait, and a key still ends the run with status 0.
start "trap '' TERM; $wrapper"
answer "(mu):" "1 2 3 4 5"
wait_for "Press any key"
# An ignored signal is dropped when it is sent; one that is not ignored
# would be acted on before the key that follows could be read, and the
# status would then be 143.
kill -TERM "$(cat "$work/pid")"
tmux_ send-keys -t t x
finished
echo "ok: SIGTERM ignored from the start stays ignored"

# 7. Stopped at the key wait (SIGTSTP, as a job-control shell sends it, or
# SIGSTOP, which cannot be caught) and brought back with fg: a key then
# ends the wait at once, without echo. At a SIGTSTP the program gives the
# terminal back as it found it: bash would hide a program that does not,
# since it sets the terminal for its own line editing, but dash leaves it
# as the stopped job left it, read here from outside.
for case in bash:TSTP bash:STOP dash:TSTP; do  # SIGSTOP cannot be caught
  shell=${case%:*} stop=${case#*:}
  start "$shell -i"
  tmux_ send-keys -t t "stty -g >'$work/before'; $wrapper" Enter
  answer "(mu):" "1 2 3 4 5"
  wait_for "Press any key"
  pid=$(cat "$work/pid")
  kill -"$stop" "$pid"
  wait_for "Stopped"
  tty=$(tmux_ display -p -t t '#{pane_tty}')
  if [ "$shell" = dash ]; then
    stty -F "$tty" -g >"$work/stopped"
    cmp -s "$work/before" "$work/stopped" ||
      fail "$shell got the terminal back changed at a stop"
  fi
  tmux_ send-keys -t t fg Enter
  wait_until "the wait after fg" waits_again "$pid" "$tty"
  tmux_ send-keys -t t z
  wait_until "a key after fg to end the wait" ended "$pid"
  joined | grep -q "continue \. \. \. z" && fail "the key was echoed"
  status="echo \$? >'$work/status.tmp'; stty -g >'$work/after'"
  tmux_ send-keys -t t "$status; mv '$work/status.tmp' '$work/status'" Enter
  finished
  echo "ok: SIG$stop at the key wait under $shell, then fg"
done
