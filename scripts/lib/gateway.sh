# Sourced by scripts that need a live board: starts quellgw with a simulated VRQ-PB board on a
# free loopback port and writes a scratch copy of the demo settings that points quellcal at it.
#   start_gateway <quellgw> <work folder> [device]
#                                            sets gw (its pid), port and gwlog; fails if it does
#                                            not come up within ten seconds; the device is
#                                            vrq-pb@1 unless given (vrq-compact@1 for quellcfg)
#   write_demo_settings <file>              the demo settings with that port and the full path
#                                            of the board's description
# The caller stops quellgw: kill -TERM "$gw".

start_gateway() {
  local quellgw=$1 work=$2 device=${3:-vrq-pb@1}
  gwlog="$work/quellgw.log"
  "$quellgw" --sim "$device" --listen 127.0.0.1:0 --trace "$work/trace.txt" 2>"$gwlog" &
  gw=$!
  port=""
  for _ in $(seq 100); do
    port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$gwlog")
    [ -n "$port" ] && return 0
    kill -0 "$gw" 2>/dev/null || break
    sleep 0.1
  done
  echo "quellgw did not start:" >&2
  cat "$gwlog" >&2
  return 1
}

write_demo_settings() {
  local root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
  sed -e "s|^Port=.*|Port=$port|" -e "s|^File=.*|File=$root/examples/vrq-pb.var|" \
    "$root/examples/demo/quellcal.cli" >"$1"
}

write_compact_settings() {
  local root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
  printf '%s\n' "[Socket]" "Host=127.0.0.1" "Port=$port" "[Protocol]" \
    "File=$root/examples/vrq-compact.var" "[Action]" "Start=1" "[Config]" "Width=340" \
    "Height=560" "[Comm]" "MaxPacket=8" "[View]" "LeftPos=460" "TopPos=20" "Width=300" \
    "Height=280" "Visible=1" >"$1"
}
