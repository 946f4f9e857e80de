#!/usr/bin/env bash
# Builds the Debian package from a build folder, checks its contents, installs it with dpkg,
# runs the installed programs from /usr/bin (brisel-scripts-cli --help, the program's version
# check on the offscreen platform), checks the service's systemd unit and purges it again. Needs root; leaves the machine as it
# found it. Exit 77: skipped (ctest shows it as skipped).
#   tools/test-package.sh BUILD_DIR
set -euo pipefail
build_dir=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
package=brisel-scripts

skip() {
  echo "SKIPPED: $*"
  exit 77
}
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

[ "$(id -u)" -eq 0 ] || skip "installing a package with dpkg needs root (CI runs as root)"
for tool in dpkg dpkg-deb dpkg-query cpack flock desktop-file-validate; do
  command -v "$tool" >/dev/null || skip "$tool is not available"
done

# One package test at a time on this machine (several build folders may run their suites).
exec 9>/tmp/brisel-scripts-package-test.lock
flock -w 900 9 || fail "another package test holds /tmp/brisel-scripts-package-test.lock"

if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed\|half\|unpacked"; then
  skip "$package is already installed on this machine; the test does not touch an installation it did not make"
fi
for f in /usr/bin/BriselScripts /usr/bin/brisel-scripts-cli /usr/bin/brisel-json /usr/bin/brisel-scripts-server \
  /usr/lib/systemd/system/brisel-scripts-server.service /etc/default/brisel-scripts-server; do
  [ -e "$f" ] && skip "$f exists outside the package; the test does not overwrite it"
done

work=$(mktemp -d)
installed=0
server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  if [ "$installed" = 1 ]; then
    dpkg -P "$package" >"$work/remove.log" 2>&1 || { cat "$work/remove.log" >&2; echo "FAILED: dpkg -P $package" >&2; }
  fi
  rm -rf "$work"
}
trap cleanup EXIT

echo "== cpack"
cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$work"/pkg/*.deb)
echo "built $(basename "$deb")"

echo "== contents"
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/files"
for f in /usr/bin/BriselScripts /usr/bin/brisel-scripts-cli /usr/bin/brisel-json /usr/bin/brisel-scripts-server \
  /usr/lib/brisel-scripts/BriselUpdate \
  /usr/share/applications/brisel-scripts.desktop \
  /usr/share/icons/hicolor/scalable/apps/brisel-scripts.svg \
  /usr/share/icons/hicolor/48x48/apps/brisel-scripts.png \
  /usr/share/icons/hicolor/256x256/apps/brisel-scripts.png \
  /usr/share/man/man1/BriselScripts.1.gz /usr/share/man/man1/brisel-scripts-cli.1.gz \
  /usr/share/man/man1/brisel-json.1.gz /usr/share/man/man1/brisel-scripts-server.1.gz \
  /usr/lib/systemd/system/brisel-scripts-server.service /etc/default/brisel-scripts-server; do
  grep -qx "$f" "$work/files" || fail "the package lacks $f"
done
# What the administrator writes in the service's options survives upgrades.
dpkg-deb -I "$deb" conffiles | grep -qx /etc/default/brisel-scripts-server ||
  fail "/etc/default/brisel-scripts-server is not a conffile"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# The library scan names the Qt, curl and SQLite libraries; the rest is declared by hand.
for d in libqt6widgets6 libqt6svg6 libcurl4 libsqlite3-0 libfbclient2 qt6-translations-l10n fonts-wine fonts-liberation2; do
  grep -q "\b$d\b" <<<"$depends" || fail "Depends lacks $d"
done
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/brisel-scripts.desktop" || fail "desktop-file-validate"
for size in 48 256; do
  file "$work/root/usr/share/icons/hicolor/${size}x${size}/apps/brisel-scripts.png" | grep -q "PNG image data, $size x $size" ||
    fail "the ${size} px icon is not a ${size} x ${size} PNG"
done

echo "== dpkg -i"
installed=1
dpkg -i "$deb" >"$work/install.log" 2>&1 || { cat "$work/install.log" >&2; fail "dpkg -i (missing dependencies? run tools/setup-debian.sh)"; }
dpkg-query -W -f='${Status}' "$package" | grep -q "install ok installed" || fail "$package is not installed after dpkg -i"

echo "== brisel-scripts-cli --help"
/usr/bin/brisel-scripts-cli --help >"$work/help.out" 2>&1 || fail "brisel-scripts-cli --help exits with $?"
grep -q "brisel-scripts-cli" "$work/help.out" || fail "brisel-scripts-cli --help shows no usage"
zcat /usr/share/man/man1/brisel-scripts-cli.1.gz | grep -q '^\.TH BRISEL-SCRIPTS-CLI 1' || fail "manual page"

echo "== the service's systemd unit"
unit=/usr/lib/systemd/system/brisel-scripts-server.service
if command -v systemd-analyze >/dev/null; then
  systemd-analyze verify "$unit" || fail "systemd-analyze verify $unit"
fi
state=$(systemctl --root=/ is-enabled brisel-scripts-server.service 2>&1 || true)
[ "$state" = disabled ] || fail "the unit is not installed disabled: $state"
# The default options are the service's own: it accepts them.
(
  # shellcheck source=/dev/null
  . /etc/default/brisel-scripts-server
  # shellcheck disable=SC2086 # one word, one option, as systemd splits $BRISEL_SERVER_OPTS
  /usr/bin/brisel-scripts-server $BRISEL_SERVER_OPTS --help >/dev/null
) || fail "brisel-scripts-server refuses the options in /etc/default/brisel-scripts-server"

echo "== version check from /usr/bin"
# A user of its own: HOME, settings, state and temporary folders in the work folder.
home="$work/home"
mkdir -p "$home" "$work/tmp"
user_env=(env -u XDG_CONFIG_HOME -u XDG_STATE_HOME -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" TMPDIR="$work/tmp"
  QT_QPA_PLATFORM=offscreen)
"${user_env[@]}" /usr/bin/brisel-scripts-server --port 0 --db :memory: --version 9.9.9 \
  >"$work/server.out" 2>"$work/server.log" &
server_pid=$!
url=
for _ in $(seq 1 100); do
  url=$(sed -n 's/^brisel-scripts-server listening on \(http:[^ ]*\)$/\1/p' "$work/server.out")
  [ -n "$url" ] && break
  sleep 0.1
done
[ -n "$url" ] || { cat "$work/server.log" >&2; fail "the installed brisel-scripts-server did not start"; }

# A newer version on the service: the program starts the packaged updater, which names the
# version and the package manager, and ends without a window. The output is read to its end, so
# the updater (started detached, sharing the program's output) has finished too.
out=$("${user_env[@]}" BRISEL_SERVICE_URL="$url" timeout 60 /usr/bin/BriselScripts 2>&1) ||
  fail "BriselScripts exits with $? on a newer version: $out"
echo "$out"
grep -q "A versão 9.9.9 do Brisel Scripts está disponível" <<<"$out" || fail "the updater did not name version 9.9.9"
grep -q "gerenciador de pacotes" <<<"$out" || fail "the updater did not point to the package manager"
[ -d "$home/.config/BriselScripts" ] || fail "no settings folder in ~/.config/BriselScripts"
[ -d "$home/.local/state/BriselScripts" ] || fail "no log folder in ~/.local/state/BriselScripts"

# A service that cannot be reached: the failure goes to the user's log and start-up goes on
# to the main window (which listens for later copies in the temporary folder), then it is ended.
kill "$server_pid"
wait "$server_pid" 2>/dev/null || true
server_pid=
"${user_env[@]}" BRISEL_SERVICE_URL="$url" /usr/bin/BriselScripts >"$work/program.out" 2>&1 &
program_pid=$!
for _ in $(seq 1 300); do
  [ -s "$home/.local/state/BriselScripts/log.log" ] && break
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
running=0
kill -0 "$program_pid" 2>/dev/null && running=1
kill "$program_pid" 2>/dev/null || true
wait "$program_pid" 2>/dev/null || true
[ -s "$home/.local/state/BriselScripts/log.log" ] || fail "the failed version check was not logged in ~/.local/state/BriselScripts/log.log"
[ "$running" = 1 ] || { cat "$work/program.out" >&2; fail "the program ended instead of opening its window"; }
[ ! -e /usr/bin/log.log ] && [ ! -e /usr/bin/parametros.ini ] || fail "the program wrote beside its executable in /usr/bin"

echo "== dpkg -r, dpkg -P"
dpkg -r "$package" >"$work/remove.log" 2>&1 || { cat "$work/remove.log" >&2; fail "dpkg -r"; }
for f in /usr/bin/BriselScripts /usr/bin/brisel-scripts-cli /usr/lib/brisel-scripts/BriselUpdate "$unit"; do
  [ ! -e "$f" ] || fail "$f is left after dpkg -r"
done
[ -e /etc/default/brisel-scripts-server ] || fail "dpkg -r removed the conffile /etc/default/brisel-scripts-server"
dpkg -P "$package" >"$work/remove.log" 2>&1 || { cat "$work/remove.log" >&2; fail "dpkg -P"; }
installed=0
[ ! -e /etc/default/brisel-scripts-server ] || fail "/etc/default/brisel-scripts-server is left after dpkg -P"
echo "package test passed"
