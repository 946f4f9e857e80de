#!/usr/bin/env bash
# Starts or stops a private PostgreSQL cluster for the tests and benchmarks.
#   postgres-test-server.sh start   initdb into $BRISEL_PG_STATE_DIR (default
#                                   /tmp/brisel-postgres-test), starts the server on a free port
#                                   of 127.0.0.1 and prints its superuser URI (also written to
#                                   $BRISEL_PG_STATE_DIR/uri)
#   postgres-test-server.sh stop    stops that server and removes its folder, only when this
#                                   script made them
#   postgres-test-server.sh pause   stops that server and keeps its folder; the next start
#                                   starts it again on the same port, with its data
# Idempotent: a cluster already running in the folder is reused. Trust authentication, loopback
# and the folder's own socket only; fsync stays on, so the benchmarks measure real commits.
set -euo pipefail

state_dir=${BRISEL_PG_STATE_DIR:-/tmp/brisel-postgres-test}
data_dir=$state_dir/data
uri_file=$state_dir/uri
marker=$state_dir/brisel-postgres-test
log_file=$state_dir/postgres.log

fail() {
    echo "postgres-test-server: $*" >&2
    exit 1
}

# The newest installed server version's binaries.
bin_dir=$(printf '%s\n' /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
if [ ! -x "$bin_dir/initdb" ] || [ ! -x "$bin_dir/pg_ctl" ]; then
    fail "no PostgreSQL server binaries (initdb, pg_ctl) in /usr/lib/postgresql/*/bin; install the postgresql package (tools/setup-debian.sh)"
fi

# The server refuses to run as root: then everything runs as the postgres user.
as_owner=()
if [ "$(id -u)" -eq 0 ]; then
    getent passwd postgres >/dev/null || fail "running as root needs the postgres user (postgresql package)"
    as_owner=(runuser -u postgres --)
fi

pg_ctl() { "${as_owner[@]}" "$bin_dir/pg_ctl" -D "$data_dir" "$@"; }

running() { [ -f "$data_dir/postmaster.pid" ] && pg_ctl status >/dev/null 2>&1; }

port_free() { ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

start() {
    if [ -f "$marker" ] && running && [ -f "$uri_file" ]; then
        cat "$uri_file"
        return 0
    fi
    if [ ! -f "$marker" ]; then
        [ -e "$data_dir" ] && fail "$data_dir exists but was not made by this script"
        mkdir -p "$state_dir"
        touch "$marker"
    fi
    touch "$log_file"
    chmod 0700 "$state_dir"
    if [ "$(id -u)" -eq 0 ]; then
        chown postgres: "$state_dir" "$log_file"
        "${as_owner[@]}" test -w "$state_dir" ||
            fail "the postgres user cannot reach $state_dir: its parent folders must let it through"
    fi
    if [ ! -f "$data_dir/PG_VERSION" ]; then
        # --no-sync only skips initdb's own flushes of a throw-away folder; the server syncs.
        "${as_owner[@]}" "$bin_dir/initdb" -D "$data_dir" -U postgres -E UTF8 --locale=C.UTF-8 \
            --auth=trust --no-sync >"$log_file" 2>&1 || fail "initdb failed (see $log_file)"
        {
            echo "local all all trust"
            echo "host all all 127.0.0.1/32 trust"
        } | "${as_owner[@]}" tee "$data_dir/pg_hba.conf" >/dev/null
    fi
    # A paused cluster comes back on its port, so the URIs handed out stay valid.
    local previous=""
    [ -f "$uri_file" ] && previous=$(sed -n 's|^postgresql://postgres@127.0.0.1:\([0-9]*\)/postgres$|\1|p' "$uri_file")
    local port
    for _ in 1 2 3 4 5; do
        port=${previous:-$((20000 + RANDOM % 40000))}
        port_free "$port" || { [ -z "$previous" ] && continue; fail "port $port of the paused server is taken"; }
        if pg_ctl -w -t 60 -l "$log_file" \
            -o "-c listen_addresses=127.0.0.1 -p $port -c unix_socket_directories='$state_dir' -c fsync=on" \
            start >/dev/null; then
            echo "postgresql://postgres@127.0.0.1:$port/postgres" >"$uri_file"
            cat "$uri_file"
            return 0
        fi
    done
    fail "the server did not start (see $log_file)"
}

pause() {
    [ -f "$marker" ] || return 0
    if running; then
        pg_ctl -w -t 60 -m fast stop >/dev/null || fail "the server did not stop (see $log_file)"
    fi
}

stop() {
    [ -f "$marker" ] || return 0
    pause
    rm -rf "$state_dir"
}

case "${1:-}" in
start) start ;;
stop) stop ;;
pause) pause ;;
*)
    echo "usage: $0 start|stop|pause" >&2
    exit 2
    ;;
esac
