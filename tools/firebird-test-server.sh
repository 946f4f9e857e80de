#!/usr/bin/env bash
# Starts or stops the Firebird server that the validation tests use on 127.0.0.1:3050.
#   firebird-test-server.sh start   sets SYSDBA's password to $BRISEL_FB_PASSWORD (default
#                                   "brisel-test") and makes sure a server answers with it
#   firebird-test-server.sh stop    stops the server, only when this script started it
# Idempotent; a server that is already running is reused (its password is changed through it
# when the package's recorded password still works).
set -euo pipefail

password=${BRISEL_FB_PASSWORD:-brisel-test}
host=127.0.0.1
port=3050
state_dir=${BRISEL_FB_STATE_DIR:-/tmp/brisel-firebird-test}
pid_file=$state_dir/firebird.pid
security_db=/var/lib/firebird/3.0/system/security3.fdb
package_password_file=/etc/firebird/3.0/SYSDBA.password
server=/usr/sbin/firebird

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

listening() { (exec 3<>"/dev/tcp/$host/$port") 2>/dev/null; }

# Attaches through the server with the given password; the probe database is created once.
password_works() {
    local probe=$state_dir/probe.fdb
    local sql="CONNECT '$host:$probe' USER 'SYSDBA' PASSWORD '$1';"
    [ -f "$probe" ] || sql="CREATE DATABASE '$host:$probe' USER 'SYSDBA' PASSWORD '$1';"
    echo "$sql SELECT 1 FROM RDB\$DATABASE;" | isql-fb -q -bail >/dev/null 2>&1
}

# Alive and not merely waiting to be reaped.
running() { [ -d "/proc/$1" ] && [ "$(cut -d' ' -f3 "/proc/$1/stat" 2>/dev/null)" != "Z" ]; }

sql_quote() { printf "%s" "${1//\'/\'\'}"; }

record_package_password() {
    if [ -w "$package_password_file" ]; then
        sed -i "s/^ISC_PASSWORD=.*/ISC_PASSWORD=\"$(sql_quote "$password")\"/" "$package_password_file"
    fi
}

start() {
    mkdir -p "$state_dir"
    chmod 0777 "$state_dir" # the server may run as the firebird user
    if listening; then
        password_works "$password" && return 0
        # Someone else's server: change the password through it with the package's one.
        local old
        old=$(sed -n 's/^ISC_PASSWORD="\{0,1\}\([^"]*\)"\{0,1\}$/\1/p' "$package_password_file" 2>/dev/null || true)
        if [ -n "$old" ] && password_works "$old"; then
            echo "ALTER USER SYSDBA PASSWORD '$(sql_quote "$password")';" |
                isql-fb -q -bail "$host:$state_dir/probe.fdb" -user SYSDBA -password "$old" >/dev/null
            record_package_password
            password_works "$password" && return 0
        fi
        echo "firebird-test-server: a server listens on $host:$port but refuses SYSDBA's passwords" >&2
        return 1
    fi
    # No server yet: set the password in the security database directly (embedded access),
    # then start the server in the background.
    echo "CREATE OR ALTER USER SYSDBA PASSWORD '$(sql_quote "$password")' USING PLUGIN Srp; COMMIT;" |
        "${sudo_cmd[@]}" isql-fb -q -bail -user SYSDBA "$security_db" >/dev/null
    record_package_password
    "${sudo_cmd[@]}" setsid "$server" </dev/null >"$state_dir/firebird.log" 2>&1 &
    echo $! >"$pid_file"
    for _ in $(seq 1 100); do
        if listening && password_works "$password"; then
            return 0
        fi
        sleep 0.1
    done
    echo "firebird-test-server: the server did not answer on $host:$port (see $state_dir/firebird.log)" >&2
    return 1
}

stop() {
    [ -f "$pid_file" ] || return 0
    local pid
    pid=$(cat "$pid_file")
    rm -f "$pid_file"
    # Only the process this script started, and only if it is still that program.
    case "$(cat "/proc/$pid/comm" 2>/dev/null)" in
    firebird | sudo) ;;
    *) return 0 ;;
    esac
    "${sudo_cmd[@]}" kill "$pid"
    for _ in $(seq 1 50); do
        running "$pid" || return 0
        sleep 0.1
    done
    "${sudo_cmd[@]}" kill -9 "$pid" 2>/dev/null || true
}

case "${1:-}" in
start) start ;;
stop) stop ;;
*)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
