#!/usr/bin/env bash
# A private CUPS scheduler for the tests: its own configuration in DIR,
# listening only on the local socket DIR/s, never on the network.
#   private-cupsd.sh start DIR    configure, start and wait until it runs
#   private-cupsd.sh restart DIR  stop it by its PID and start it again
#   private-cupsd.sh stop DIR     stop it by its PID
# Queues keep their settings across a restart (DIR/root/printers.conf).
set -euo pipefail

command=${1:?start, restart or stop}
dir=${2:?the scheduler folder}
socket="$dir/s"
if [ ${#socket} -ge 100 ]; then
  echo "private-cupsd: socket path '$socket' is too long for a unix socket" >&2
  exit 1
fi

configure() {
  mkdir -p "$dir"/{root/ppd,spool/tmp,cache,state,log,out}
  chmod 0755 "$dir"
  chmod 0777 "$dir/out" "$dir/spool/tmp"
  local user group
  if [ "$(id -u)" -eq 0 ]; then user=lp; group=lp; else user=$(id -un); group=$(id -gn); fi
  cat > "$dir/cups-files.conf" <<CONF
FileDevice Yes
User $user
Group $group
SystemGroup root $(id -gn)
ServerRoot $dir/root
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ServerBin /usr/lib/cups
DataDir /usr/share/cups
DocumentRoot /usr/share/cups/doc-root
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
CONF
  cat > "$dir/cupsd.conf" <<CONF
Listen $socket
Browsing No
BrowseLocalProtocols none
WebInterface No
LogLevel warn
DefaultAuthType None
MaxJobs 0
PreserveJobHistory No
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
# For queues whose job list asks for a login the tests never give.
<Policy zs-jobs-need-login>
  <Limit Get-Jobs>
    AuthType Basic
    Require user zs-nobody
  </Limit>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
CONF
}

start() {
  configure
  cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" </dev/null >>"$dir/log/cupsd.out" 2>&1 &
  echo $! > "$dir/cupsd.pid"
  for _ in $(seq 1 100); do
    if CUPS_SERVER="$socket" lpstat -r 2>/dev/null | grep -q "is running"; then return 0; fi
    sleep 0.1
  done
  echo "private-cupsd: the scheduler did not start (see $dir/log/error_log)" >&2
  return 1
}

stop() {
  [ -f "$dir/cupsd.pid" ] || return 0
  local pid
  pid=$(cat "$dir/cupsd.pid")
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || { rm -f "$dir/cupsd.pid"; return 0; }
    sleep 0.1
  done
  echo "private-cupsd: the scheduler $pid did not stop" >&2
  return 1
}

case "$command" in
  start) start ;;
  restart) stop; start ;;
  stop) stop ;;
  *) echo "private-cupsd: unknown command '$command'" >&2; exit 2 ;;
esac
