#!/usr/bin/env bash
# Starts a throw-away PostgreSQL server for the tests and writes the ODBC set-up that names it.
#
#   source scripts/pg-test-server.sh; pg_test_server_start; ...; pg_test_server_stop
#
# The server runs as an unprivileged user (postgres when we are root) on a data folder of its own, on a
# free loopback port, with the C locale and UTF-8 so that ordering and BETWEEN compare bytewise as in
# SQLite. The ODBC files live in the same temporary folder and are reached through unixODBC's own
# variables, so nothing of the machine's ODBC set-up changes.

pg_test_server_start() {
  local bindir
  bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
  [ -x "$bindir/initdb" ] || { echo "PostgreSQL server binaries not found" >&2; return 1; }

  QLX_PG_DIR=$(mktemp -d /tmp/qlx-pg.XXXXXX)
  chmod 755 "$QLX_PG_DIR"
  local run=()
  if [ "$(id -u)" -eq 0 ]; then
    chown postgres: "$QLX_PG_DIR"
    run=(runuser -u postgres --)
  fi

  # A free port, and one a thousand above it that stays closed for the "server down" tests. Both lie
  # below the system's ephemeral range where it leaves room, so no client's own connection holds them.
  local port=55432 low high
  if read -r low high </proc/sys/net/ipv4/ip_local_port_range 2>/dev/null && [ "$low" -gt 3500 ] &&
    [ $((port + 1000)) -ge "$low" ] && [ "$port" -le "$high" ]; then
    port=$((low - 1500))
  fi
  port=$(pg_test_server_free_port "$port")

  QLX_PG_PASSWORD="qlx-$RANDOM-$RANDOM"
  printf '%s\n' "$QLX_PG_PASSWORD" >"$QLX_PG_DIR/pwfile"
  [ ${#run[@]} -eq 0 ] || chown postgres: "$QLX_PG_DIR/pwfile"
  "${run[@]}" "$bindir/initdb" -D "$QLX_PG_DIR/data" -U qlx --pwfile="$QLX_PG_DIR/pwfile" \
    --auth=scram-sha-256 --locale=C -E UTF8 >"$QLX_PG_DIR/initdb.log" 2>&1 ||
    { cat "$QLX_PG_DIR/initdb.log" >&2; return 1; }
  # A port can still be taken between the look and the start (another server, a client bound to it); the
  # start then moves on to the next free one.
  local tries=0
  rm -f "$QLX_PG_DIR/server.log"
  until "${run[@]}" "$bindir/pg_ctl" -D "$QLX_PG_DIR/data" -w -l "$QLX_PG_DIR/server.log" \
    -o "-p $port -k $QLX_PG_DIR -c listen_addresses=127.0.0.1 -c fsync=off -c max_connections=200" start \
    >/dev/null 2>"$QLX_PG_DIR/pg_ctl.log"; do
    tries=$((tries + 1))
    if [ "$tries" -ge 50 ] || ! grep -qi "could not bind\|address already in use" "$QLX_PG_DIR/server.log"; then
      cat "$QLX_PG_DIR/pg_ctl.log" "$QLX_PG_DIR/server.log" >&2
      return 1
    fi
    port=$(pg_test_server_free_port $((port + 1)))
    rm -f "$QLX_PG_DIR/server.log"
  done
  QLX_PG_BINDIR=$bindir
  QLX_PG_RUN="${run[*]}"

  local odbclib=/usr/lib/x86_64-linux-gnu/odbc
  [ -d "$odbclib" ] || odbclib=$(dirname "$(find /usr/lib -name psqlodbcw.so | head -n 1)")
  cat >"$QLX_PG_DIR/odbcinst.ini" <<INI
[PostgreSQL Unicode]
Driver=$odbclib/psqlodbcw.so

[FreeTDS]
Driver=$odbclib/libtdsodbc.so
INI
  cat >"$QLX_PG_DIR/odbc.ini" <<INI
[qlx_pg]
Driver=PostgreSQL Unicode
Servername=127.0.0.1
Port=$port
Database=postgres
Username=qlx
Password=$QLX_PG_PASSWORD

[qlx_pg_down]
Driver=PostgreSQL Unicode
Servername=127.0.0.1
Port=$((port + 1000))
Database=postgres
INI
  export ODBCSYSINI=$QLX_PG_DIR ODBCINI=$QLX_PG_DIR/odbc.ini
  export QLX_TEST_PG_PORT=$port QLX_TEST_PG_DOWN_DSN=qlx_pg_down QLX_TEST_PG_DSN=qlx_pg QLX_TEST_PG_USER=qlx QLX_TEST_PG_PASSWORD=$QLX_PG_PASSWORD
  echo "PostgreSQL test server on 127.0.0.1:$port"
}

# The first port from $1 up where nothing answers, nor a thousand above it.
pg_test_server_free_port() {
  local port=$1
  while (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null || (exec 3<>/dev/tcp/127.0.0.1/$((port + 1000))) 2>/dev/null; do
    port=$((port + 1))
  done
  echo "$port"
}

pg_test_server_stop() {
  [ -n "${QLX_PG_DIR:-}" ] && [ -d "$QLX_PG_DIR" ] || return 0
  # shellcheck disable=SC2086
  $QLX_PG_RUN "$QLX_PG_BINDIR/pg_ctl" -D "$QLX_PG_DIR/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$QLX_PG_DIR"
  QLX_PG_DIR=
}
