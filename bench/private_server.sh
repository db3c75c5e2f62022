# Shared by the server benchmarks. Sourced, not run, with $root set: installs what the private
# PostgreSQL server needs, starts one for this run in a temporary directory and sets $work, a
# temporary directory of the run's own; both go at exit. Nothing of the user's own settings
# reaches the programs started here.
source "$root/scripts/setup.sh"
source "$root/scripts/private_postgres.sh"
ensure_postgres_packages

work=$(mktemp -d)
pg_dir=$(mktemp -d)
trap 'stop_private_postgres "$pg_dir"; rm -rf "$work" "$pg_dir"' EXIT
start_private_postgres "$pg_dir"
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"

psql_server() { "$pg_bin/psql" -h "$QUILLET_TEST_PGHOST" -p "$QUILLET_TEST_PGPORT" -U quillet \
  -d postgres -qAt -c "$1"; }
cadcon() {
  echo "Provider=QPSQL;Host=$QUILLET_TEST_PGHOST;Port=$QUILLET_TEST_PGPORT;User ID=quillet;Database=$1;"
}
fresh_database() {
  psql_server "DROP DATABASE IF EXISTS $1" && psql_server "CREATE DATABASE $1 ENCODING 'UTF8' TEMPLATE template0"
}
