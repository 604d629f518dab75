#!/usr/bin/env bash
# A one-node Slurm cluster on this machine, for trying `vek-sweep slurm` on a workstation or a
# laptop (and for the tests). Everything it makes lives in one folder: the munge key and
# socket, slurm.conf, the state, spool, pid and log files. Nothing of the machine's own Slurm
# or munge set-up is used or changed.
#
#   scripts/slurm-local.sh start [DIR]   start munged, slurmctld and slurmd; print the SLURM_CONF to export
#   scripts/slurm-local.sh stop [DIR]    stop the daemons started in DIR (only those)
#   scripts/slurm-local.sh status [DIR]  show the node and the queue
#
# DIR defaults to $VEK_SLURM_DIR, else ${TMPDIR:-/tmp}/vek-slurm. Needs the Debian packages
# slurm-wlm and munge (scripts/setup.sh installs them). As root the daemons run as root and
# munged as the munge user; as another user everything runs as that user.
set -euo pipefail

command="${1:-}"
dir="${2:-${VEK_SLURM_DIR:-${TMPDIR:-/tmp}/vek-slurm}}"

usage() {
  echo "usage: scripts/slurm-local.sh start|stop|status [DIR]" >&2
  exit 2
}

need() {
  if ! command -v "$1" >/dev/null 2>&1 && [ ! -x "/usr/sbin/$1" ]; then
    echo "slurm-local: $1 is not installed (Debian package: $2)" >&2
    exit 1
  fi
}

# The first port from $1 on that nothing on this machine listens to.
free_port() {
  local port=$1
  while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do port=$((port + 1)); done
  echo "$port"
}

# Waits up to $2 seconds for the pid file $1 to name a living process.
wait_for_pid() {
  local i
  for ((i = 0; i < $2 * 10; i++)); do
    if [ -s "$1" ] && kill -0 "$(cat "$1")" 2>/dev/null; then return 0; fi
    sleep 0.1
  done
  return 1
}

stop_daemon() {
  local pidfile=$1 pid i
  [ -s "$pidfile" ] || return 0
  pid=$(cat "$pidfile")
  if kill -0 "$pid" 2>/dev/null; then
    kill -TERM "$pid" 2>/dev/null || true
    for ((i = 0; i < 100; i++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && kill -KILL "$pid" 2>/dev/null || true
  fi
  rm -f "$pidfile"
}

stop() {
  [ -d "$dir" ] || return 0
  # Jobs still in the queue are cancelled and given their time to save (KillWait), so no task
  # outlives the cluster; then slurmd, the controller and munge stop.
  if [ -s "$dir/run/slurmctld.pid" ] && kill -0 "$(cat "$dir/run/slurmctld.pid")" 2>/dev/null; then
    export SLURM_CONF="$dir/slurm.conf"
    local jobs i
    jobs=$(squeue -h -o %A 2>/dev/null | sort -u || true)
    if [ -n "$jobs" ]; then
      # shellcheck disable=SC2086
      scancel $jobs 2>/dev/null || true
      for ((i = 0; i < 600; i++)); do
        [ -z "$(squeue -h -o %A 2>/dev/null | head -1)" ] && break
        sleep 0.1
      done
    fi
  fi
  stop_daemon "$dir/run/slurmd.pid"
  stop_daemon "$dir/run/slurmctld.pid"
  stop_daemon "$dir/munge/munged.pid"
}

start() {
  need munged munge
  need slurmctld slurm-wlm
  need slurmd slurm-wlm
  need sbatch slurm-wlm
  if [ -s "$dir/run/slurmctld.pid" ] && kill -0 "$(cat "$dir/run/slurmctld.pid")" 2>/dev/null; then
    echo "slurm-local: a cluster is already running in $dir; stop it first" >&2
    exit 1
  fi
  local user munge_user host cpus memory ctld_port slurmd_port
  user=$(id -un)
  munge_user=$user
  [ "$(id -u)" -eq 0 ] && munge_user=munge
  host=$(hostname -s)
  cpus=$(nproc)
  # slurmd refuses a node whose memory it cannot see, so the node takes what the machine has.
  memory=$(awk '/MemTotal/ { print int($2 / 1024) }' /proc/meminfo)

  mkdir -p "$dir"/{munge,state,spool,run,log}
  dir=$(cd "$dir" && pwd)
  # munged insists that only its own user can write its folder and read its key.
  chmod 700 "$dir/munge"
  rm -f "$dir/munge/munge.key"
  if command -v mungekey >/dev/null 2>&1 || [ -x /usr/sbin/mungekey ]; then
    PATH="$PATH:/usr/sbin" mungekey --create --keyfile="$dir/munge/munge.key" --force
  else
    dd if=/dev/urandom of="$dir/munge/munge.key" bs=1024 count=1 status=none
  fi
  chmod 600 "$dir/munge/munge.key"
  chown -R "$munge_user" "$dir/munge"
  chmod 755 "$dir"

  local munged_args=(--socket="$dir/munge/munge.socket" --key-file="$dir/munge/munge.key"
                     --pid-file="$dir/munge/munged.pid" --log-file="$dir/munge/munged.log"
                     --seed-file="$dir/munge/munged.seed" --force)
  if [ "$munge_user" != "$user" ]; then
    # runuser comes with util-linux; the munge user has no login shell.
    runuser -u "$munge_user" -- /usr/sbin/munged "${munged_args[@]}"
  else
    /usr/sbin/munged "${munged_args[@]}"
  fi
  if ! wait_for_pid "$dir/munge/munged.pid" 10; then
    echo "slurm-local: munged did not start; see $dir/munge/munged.log" >&2
    stop
    exit 1
  fi

  ctld_port=$(free_port 16817)
  slurmd_port=$(free_port $((ctld_port + 1)))
  cat >"$dir/slurm.conf" <<EOF
# A one-node cluster made by scripts/slurm-local.sh; everything it keeps is in $dir.
ClusterName=vek-local
SlurmctldHost=$host(127.0.0.1)
SlurmUser=$user
SlurmdUser=$user
SlurmctldPort=$ctld_port
SlurmdPort=$slurmd_port
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$dir/munge/munge.socket
StateSaveLocation=$dir/state
SlurmdSpoolDir=$dir/spool
SlurmctldPidFile=$dir/run/slurmctld.pid
SlurmdPidFile=$dir/run/slurmd.pid
SlurmctldLogFile=$dir/log/slurmctld.log
SlurmdLogFile=$dir/log/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
SchedulerType=sched/backfill
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
MpiDefault=none
ReturnToService=2
# A cancelled or timed-out task gets its SIGTERM this long before the SIGKILL: time to save.
KillWait=30
MinJobAge=300
NodeName=$host NodeAddr=127.0.0.1 CPUs=$cpus RealMemory=$memory State=UNKNOWN
PartitionName=local Nodes=$host Default=YES MaxTime=INFINITE State=UP
EOF
  export SLURM_CONF="$dir/slurm.conf"
  /usr/sbin/slurmctld -f "$SLURM_CONF"
  if ! wait_for_pid "$dir/run/slurmctld.pid" 20; then
    echo "slurm-local: slurmctld did not start; see $dir/log/slurmctld.log" >&2
    stop
    exit 1
  fi
  /usr/sbin/slurmd -f "$SLURM_CONF"
  if ! wait_for_pid "$dir/run/slurmd.pid" 20; then
    echo "slurm-local: slurmd did not start; see $dir/log/slurmd.log" >&2
    stop
    exit 1
  fi
  # The node is ready once the controller has heard from it.
  local i state=""
  for ((i = 0; i < 300; i++)); do
    state=$(sinfo -h -n "$host" -o %t 2>/dev/null || true)
    case "$state" in idle*|mix*|alloc*) break ;; esac
    sleep 0.1
  done
  case "$state" in
    idle*|mix*|alloc*) ;;
    *) echo "slurm-local: the node $host did not come up (state '$state'); see $dir/log/" >&2
       stop
       exit 1 ;;
  esac
  echo "slurm-local: cluster running in $dir (node $host, $cpus CPUs, partition local)."
  echo "export SLURM_CONF=$dir/slurm.conf"
}

case "$command" in
  start) start ;;
  stop) stop ;;
  status)
    export SLURM_CONF="$dir/slurm.conf"
    sinfo
    squeue ;;
  *) usage ;;
esac
