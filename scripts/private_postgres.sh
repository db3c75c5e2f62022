# A throwaway PostgreSQL server for the tests: its own data directory under a temporary
# directory, reachable only through a Unix socket in that directory, run by an unprivileged
# user. Sourced, not run; needs setup.sh's as_root.

pg_bin=/usr/lib/postgresql/15/bin

# Installs Debian's server without the cluster the package would otherwise create and start on
# port 5432: the tests never touch the machine's own clusters.
ensure_postgres_packages() {
  if ! dpkg-query -W -f='${Status}' postgresql 2>/dev/null | grep -q 'install ok installed'; then
    as_root mkdir -p /etc/postgresql-common
    if ! grep -qs '^create_main_cluster *= *false' /etc/postgresql-common/createcluster.conf; then
      echo 'create_main_cluster = false' | as_root tee -a /etc/postgresql-common/createcluster.conf >/dev/null
    fi
    # No service the package starts survives the installation either.
    local policy=/usr/sbin/policy-rc.d added_policy=
    if [ ! -e "$policy" ]; then
      printf '#!/bin/sh\nexit 101\n' | as_root tee "$policy" >/dev/null
      as_root chmod 755 "$policy"
      added_policy=1
    fi
    ensure_packages postgresql
    [ -n "$added_policy" ] && as_root rm -f "$policy"
  fi
  ensure_packages libqt6sql6-psql
}

# Runs a command as the server's user: the current one, or postgres when that is root.
as_pg_user() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

# Starts the server in DIR (made by the caller, empty) and exports QUILLET_TEST_PGHOST and
# QUILLET_TEST_PGPORT for the tests; its superuser is "quillet", trusted on the socket, and the
# role "quillet_pw" must give its password.
start_private_postgres() {
  local dir=$1
  mkdir -p "$dir/data"
  [ "$(id -u)" -eq 0 ] && chown -R postgres: "$dir"
  chmod 700 "$dir"
  as_pg_user "$pg_bin/initdb" -D "$dir/data" -U quillet -E UTF8 --locale=C.UTF-8 \
    --auth-local=trust >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; return 1; }
  printf 'local all quillet_pw scram-sha-256\nlocal all all trust\n' >"$dir/data/pg_hba.conf"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$dir/data/pg_hba.conf"
  as_pg_user "$pg_bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
    -o "-c listen_addresses='' -c unix_socket_directories='$dir' -c port=5432 -c fsync=off -c max_connections=200" \
    start >/dev/null || { cat "$dir/server.log" >&2; return 1; }
  chmod 755 "$dir"
  export QUILLET_TEST_PGHOST=$dir QUILLET_TEST_PGPORT=5432
}

# Stops the server and removes everything it wrote; nothing when it never started.
stop_private_postgres() {
  local dir=$1
  [ -n "$dir" ] && [ -d "$dir" ] || return 0
  if [ -f "$dir/data/postmaster.pid" ]; then
    as_pg_user "$pg_bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
}
