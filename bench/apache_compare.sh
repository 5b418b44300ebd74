#!/usr/bin/env bash
# balance-host beside Debian's Apache, measured in one run with wrk (-t1, at 8 and at 64
# connections) on loopback:
#   - a static file: balance-host against Apache with the event MPM (Debian's default MPM, no
#     access log, unlimited keep-alive: Apache at its best);
#   - pages: the hello page and a 20-row person list against Apache::ASP under mod_perl (prefork
#     MPM with its servers started ahead, cached DBI handles). Each keeps what its balance-host
#     counterpart keeps: the hello page no state (NoState), the list page its statement in the
#     session, as DNA keeps its list state there (Apache::ASP's default session state).
# Prints requests/s, p99 and errors of each and the ratios (targets: static >= 1.0, pages >= 5).
# Installs apache2, libapache2-mod-perl2, libapache-asp-perl and libdbd-sqlite3-perl when they
# are missing: for this benchmark only, never for the tests.
#   bench/apache_compare.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
build=${1:-build}
seconds=${2:-10}
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/bench/host_measure.sh"

packages="apache2 libapache2-mod-perl2 libapache-asp-perl libdbd-sqlite3-perl"
if ! dpkg -s $packages >/dev/null 2>&1; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $packages >/dev/null
  # The package starts the system's own Apache on port 80; this benchmark runs its own.
  service apache2 stop >/dev/null 2>&1 || true
fi

work=$(mktemp -d)
chmod 755 "$work"
pids=()
cleanup() {
  for conf in "$work"/apache-*.conf; do
    [ -f "$conf" ] && /usr/sbin/apache2 -f "$conf" -k stop 2>/dev/null || true
  done
  # -k stop returns at once; the servers' children still write their state files meanwhile.
  for _ in $(seq 50); do
    ls "$work"/run/*.pid >/dev/null 2>&1 || break
    sleep 0.1
  done
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

base=$((20000 + RANDOM % 20000))
balance_port=$base
static_port=$((base + 1))
asp_port=$((base + 2))
demo_host "$build" "$balance_port"
pids+=("$host_pid")
printf '<%%@ Language="JScript" CodePage=65001 %%>\n<%% Response.Write("hello"); %%>' >"$work/site/hello.asp"
# The demo's pages want a signed-in session each: one per connection.
sign_in "$balance_port" 64 >"$work/cookies"

# Apache::ASP's pages: the same hello, and a list of the first 20 people with their department.
mkdir -p "$work/asp" "$work/asp-state" "$work/run"
cat >"$work/asp/hello.asp" <<'ASP'
<% $Response->Write("hello"); %>
ASP
cat >"$work/asp/list.asp" <<ASP
<%
use DBI;
my \$db = DBI->connect_cached("dbi:SQLite:dbname=$work/data/site.db", "", "",
                              { RaiseError => 1, sqlite_unicode => 1 });
my (\$count) = \$db->selectrow_array("select count(*) from person");
my \$sql = "select p.personID, p.personName, p.sex, d.deptName, p.birthday, p.phone, p.email from person p " .
  "left join dept d on d.deptID = p.deptID order by p.personID limit 20";
my \$rows = \$db->selectall_arrayref(\$sql);
\$Session->{strSQL} = \$sql;
%>
<html><head><meta http-equiv="Content-Type" content="text/html; charset=utf-8">
<title>people</title></head><body>
<p><%= \$count %> people</p>
<table class=tbl>
<tr><th>id</th><th>name</th><th>sex</th><th>dept</th><th>birthday</th><th>phone</th><th>email</th></tr>
<% for my \$r (@\$rows) { %>
<tr><% for my \$v (@\$r) { %><td><%= \$Server->HTMLEncode(defined \$v ? \$v : "") %>&nbsp;</td><% } %></tr>
<% } %>
</table></body></html>
ASP
chmod -R a+rX "$work/asp" "$work/site" "$work/data"
chmod 777 "$work/asp-state" "$work/run"
user=""
[ "$(id -u)" = 0 ] && user=$'User nobody\nGroup nogroup'
modules=/usr/lib/apache2/modules
common="ServerRoot $work
DefaultRuntimeDir $work/run
ErrorLog $work/apache-error.log
ServerName 127.0.0.1
$user
LoadModule authz_core_module $modules/mod_authz_core.so
LoadModule mime_module $modules/mod_mime.so
TypesConfig /etc/mime.types
KeepAlive On
MaxKeepAliveRequests 0
<Directory $work>
  Require all granted
</Directory>"
cat >"$work/apache-static.conf" <<CONF
$common
Listen 127.0.0.1:$static_port
PidFile $work/run/static.pid
LoadModule mpm_event_module $modules/mod_mpm_event.so
DocumentRoot $work/site
CONF
cat >"$work/apache-asp.conf" <<CONF
$common
Listen 127.0.0.1:$asp_port
PidFile $work/run/asp.pid
LoadModule mpm_prefork_module $modules/mod_mpm_prefork.so
LoadModule perl_module $modules/mod_perl.so
PerlModule Apache::ASP
DocumentRoot $work/asp
<Files ~ "\.asp\$">
  SetHandler perl-script
  PerlHandler Apache::ASP
  PerlSetVar Global $work/asp
  PerlSetVar StateDir $work/asp-state
</Files>
<Files "hello.asp">
  PerlSetVar NoState 1
</Files>
StartServers 16
MinSpareServers 16
MaxSpareServers 64
CONF
/usr/sbin/apache2 -f "$work/apache-static.conf" -k start
/usr/sbin/apache2 -f "$work/apache-asp.conf" -k start
for port in $static_port $asp_port; do
  for _ in $(seq 50); do
    curl -s -o /dev/null "http://127.0.0.1:$port/" && break
    sleep 0.1
  done
done
check() {
  curl -sf "$1" | grep -q "$2" || { echo "$1 does not answer with '$2'" >&2; cat "$work/apache-error.log" >&2; exit 1; }
}
check "http://127.0.0.1:$static_port/include/style.css" "title"
check "http://127.0.0.1:$asp_port/hello.asp" hello
check "http://127.0.0.1:$asp_port/list.asp" "50 people"

printf '%-5s %-10s %-34s %12s %10s %8s %12s %10s %8s %8s\n' conns what "balance-host / other" \
  "balance r/s" p99 errors "other r/s" p99 errors ratio
row() {  # conns what label balance-url other-url [balance-cookies]
  local b o
  b=$(measure "$4" "$1" "${6:-}")
  o=$(measure "$5" "$1")
  read -r brps bp99 berr <<<"$b"
  read -r orps op99 oerr <<<"$o"
  printf '%-5s %-10s %-34s %12s %10s %8s %12s %10s %8s %8s\n' "$1" "$2" "$3" "$brps" "$bp99" \
    "$berr" "$orps" "$op99" "$oerr" "$(awk -v b="$brps" -v o="$orps" 'BEGIN {printf "%.2f", b / o}')"
}
b="http://127.0.0.1:$balance_port"
for conns in 8 64; do
  row "$conns" static "style.css / Apache (event)" "$b/include/style.css" \
    "http://127.0.0.1:$static_port/include/style.css"
  row "$conns" hello "hello.asp / Apache::ASP" "$b/hello.asp" "http://127.0.0.1:$asp_port/hello.asp"
  row "$conns" list "person list / Apache::ASP list" "$b/person/index.asp" \
    "http://127.0.0.1:$asp_port/list.asp" "$work/cookies"
done
echo "targets: static ratio >= 1.0, page ratios >= 5"
