#!/usr/bin/env bash
# Load on the catalogue's web server, on loopback: starts the server with the command given
# after "--", waits for its port, then runs ROUNDS rounds of REQUESTS requests from CLIENTS
# concurrent clients, each from a loopback address of its own (serve_client.py). Prints per
# round the answers, the client-side p50/p95, the server's own p50/p95 from its log lines
# ("... 200 12 ms" on standard error), and the server's resident memory before and after each
# round: a second round that leaves it where the first did shows no growth. Bounded: 30 s for
# the server to listen, --limit seconds per round (a round that takes longer is cut and
# said so, and the next one runs).
# Usage: bench/serve_bench.sh [--port P] [--requests N] [--clients C] [--rounds R]
#          [--path /buscar?q=x ...] [--key KEY] [--limit S] [-- COMMAND ARGS...]
# Without a command it starts build/bench/web_test_server, a stand-in page. The command must be
# the server itself (exec it from a wrapper), so that its memory is the one measured, e.g.
#   bench/serve_bench.sh --path '/buscar?q=amor' -- build/bin/quillet serve
set -euo pipefail

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$bench_dir/.." && pwd)
port=8642
requests=1000
clients=64
rounds=2
limit=300
key=""
paths=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  case $1 in
    --port) port=$2 ;;
    --requests) requests=$2 ;;
    --clients) clients=$2 ;;
    --rounds) rounds=$2 ;;
    --path) paths+=(--path "$2") ;;
    --key) key=$2 ;;
    --limit) limit=$2 ;;
    *) sed -n '10,14p' "$0" >&2; exit 2 ;;
  esac
  shift 2
done
[ $# -gt 0 ] && shift
command=("$@")
[ ${#command[@]} -eq 0 ] && command=("$root/build/bench/web_test_server" "$port")

work=$(mktemp -d)
server_pid=""
finish() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT

resident_mb() {
  awk '/^VmRSS/ {printf "%.1f", $2 / 1024}' "/proc/$server_pid/status"
}

# p50 and p95 of the milliseconds at the end of the log lines from line $1 on.
server_percentiles() {
  tail -n +"$1" "$work/server.log" | awk '$NF == "ms" {print $(NF-1)}' | sort -n |
    awk '{v[NR] = $1} END {
      if (NR == 0) { print "p50=- p95=-"; exit }
      i50 = int(0.50 * NR); i95 = int(0.95 * NR);
      printf "p50_ms=%s p95_ms=%s", v[i50 < 1 ? 1 : i50], v[i95 < 1 ? 1 : i95] }'
}

"${command[@]}" >"$work/server.out" 2>"$work/server.log" &
server_pid=$!
for _ in $(seq 300); do
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
  kill -0 "$server_pid" 2>/dev/null || { cat "$work/server.log" >&2; exit 1; }
  sleep 0.1
done

echo "servidor: ${command[*]} (pid $server_pid), memoria residente al empezar: $(resident_mb) MB"
for round in $(seq "$rounds"); do
  first_line=$(($(wc -l <"$work/server.log") + 1))
  client=$(timeout "$limit" /usr/bin/python3 "$bench_dir/serve_client.py" --port "$port" \
    --requests "$requests" --clients "$clients" ${key:+--key "$key"} "${paths[@]}") ||
    client="sin terminar en $limit s"
  echo "ronda $round: $client"
  echo "ronda $round: servidor $(server_percentiles "$first_line"), memoria residente $(resident_mb) MB"
  # The per-address buckets refill before the next round.
  sleep 3
done
