#!/usr/bin/env bash
# Fetches one 50 MB file from a loopback server with update.dll (under Wine) and with
# curl, in the same run, several times each, and prints the medians and their ratio.
#   bench/update/download_bench.sh [build tree, default build/x64] [runs, default 5]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
tree=$(cd "${1:-$root/build/x64}" && pwd)
runs=${2:-5}
bench="$tree/bench/update/update_bench.exe"
[ -x "$bench" ] || [ -f "$bench" ] || { echo "build the update_bench target of $tree first" >&2; exit 2; }

work=$(mktemp -d)
trap 'curl -s "http://127.0.0.1:$(cat "$work/port" 2>/dev/null)/__shutdown" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
mkdir -p "$work/www"
head -c $((50 * 1024 * 1024)) /dev/urandom >"$work/www/big.bin"
python3 "$root/tests/update/loopback_server.py" --root "$work/www" --port-file "$work/port" \
  --idle 300 --lifetime 900 >/dev/null 2>&1 &
for _ in $(seq 1 200); do [ -s "$work/port" ] && break; sleep 0.05; done
port=$(cat "$work/port")
url="http://127.0.0.1:$port/big.bin"

curl_times=()
for _ in $(seq 1 "$runs"); do
  curl_times+=("$(curl -s -o "$work/curl.bin" -w '%{time_total}' "$url")")
  cmp -s "$work/curl.bin" "$work/www/big.bin" || { echo "curl fetched a different file" >&2; exit 1; }
done
echo "curl seconds: ${curl_times[*]}"

VANTREL_BUILD_DIR="$tree" "$root/scripts/wine-run.sh" "$bench" "$url" \
  'C:\windows\temp\vantrel_bench.bin' "$runs" | tee "$work/dll.txt"

python3 - "$work/dll.txt" "${curl_times[@]}" <<'PY'
import re, statistics, sys
dll = [float(m) for m in re.findall(r"^update\.dll seconds=([0-9.]+)", open(sys.argv[1]).read(), re.M)]
curl = [float(x) for x in sys.argv[2:]]
d, c = statistics.median(dll), statistics.median(curl)
print(f"median update.dll {d:.3f} s, curl {c:.3f} s, ratio {d / c:.2f} (50 MB, loopback)")
PY
