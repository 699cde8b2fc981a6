#!/usr/bin/env bash
# The COM port dialog takes the keyboard while device servers are being asked. COM8 is assigned
# to a server that answers, COM9 to COM16 to eight silent ones (their connects are never
# answered; each holds its probe for the 3 s connect time-out). The dialog comes up, offers COM8
# and takes the keys that choose it and press OK, and the program keeps COM8: all within waits of
# 10 s, where the eight silent servers asked in turn would hold the dialog for 24 s.
#
#   com_port_while_probing.sh QUORVEX X_CLOSE_REQUEST
set -euo pipefail

quorvex=$1 close_request=$2
source "$(dirname "${BASH_SOURCE[0]}")/x11_session.sh"
command -v python3 >/dev/null || { echo "SKIP: python3 is not installed"; exit 77; }
start_xvfb

mkdir "$work/bin" "$work/ports"
cp "$quorvex" "$work/bin/quorvex"
settings="$work/bin/quorvex.ini"

# The servers on 127.0.0.1: their ports in $work/servers (the answering one first), and a line in
# $work/probed for each probe the answering one saw connect and close again (the dialog hears
# the answer right after the close). A silent server is a listening socket
# whose one-place queue is full: Linux drops the connects that come then.
python3 - "$work/servers" "$work/probed" <<'PY' &
import select, socket, sys
def bound():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    return s
answering = bound()
answering.listen(16)
silent, fillers = [], []
for _ in range(8):
    s = bound()
    s.listen(0)
    silent.append(s)
    while True:
        c = socket.socket()
        c.setblocking(False)
        c.connect_ex(s.getsockname())
        fillers.append(c)
        if not select.select([], [c], [], 0.2)[1]:
            break
with open(sys.argv[1] + ".new", "w") as f:
    f.write(" ".join(str(s.getsockname()[1]) for s in [answering] + silent) + "\n")
import os
os.rename(sys.argv[1] + ".new", sys.argv[1])
while True:
    client, _ = answering.accept()
    client.settimeout(5)
    try:
        while client.recv(64):
            pass
    except OSError:
        pass
    client.close()
    with open(sys.argv[2], "a") as f:
        f.write("probe\n")
PY
pids+=($!)
wait_for 20 test -s "$work/servers" || fail "the servers did not start"
read -r -a server_ports <"$work/servers"

write_plain_settings "$settings" 0.5 10 25
{
  printf '[DeviceServers]\n'
  for i in "${!server_ports[@]}"; do
    printf 'COM%d=tcp://127.0.0.1:%s\n' $((8 + i)) "${server_ports[$i]}"
  done
} >>"$settings"

process_ended() { ! kill -0 "$1" 2>/dev/null; }
visible_dialog() { xdotool search --onlyvisible --name '^COM Port$' 2>/dev/null | head -n1; }
dialog_shown() { [ -n "$(visible_dialog)" ]; }
dialog_gone() { [ -z "$(visible_dialog)" ]; }
probed() { [ -s "$work/probed" ]; }
ini_value() { sed -n "/^\[$1\]/,/^\[/{s/^$2=//p}" "$settings" | head -n1; }

start_quorvex probing
xdotool windowfocus --sync "$window" key alt+t c
wait_for 10 dialog_shown || fail "the COM port dialog did not come up while the servers were asked"
wait_for 10 probed || fail "the answering server was not asked"
# No local port and COM1 current: the list holds COM8 alone once its answer is in, nothing chosen.
# Down chooses it, Tab goes to OK, Return presses it.
xdotool windowfocus --sync "$(visible_dialog)" key Down Tab Return
wait_for 10 dialog_gone || fail "the COM port dialog did not take the keys while servers were asked"

"$close_request" "$window"
wait_for 30 process_ended "$pid" || fail "the program did not end after the close"
wait "$pid" || fail "the program ended with status $?"
[ "$(ini_value Main COM)" = 8 ] || fail "the port kept is COM$(ini_value Main COM), not COM8"
echo "ok: the COM port dialog offered the answering server and took the keyboard while eight silent servers were asked"
