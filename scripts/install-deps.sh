#!/usr/bin/env bash
# Installs, with apt-get, the Debian packages that are not installed yet.
#   scripts/install-deps.sh run     what building and starting the window needs
#   scripts/install-deps.sh test    what building and running every test needs
#   scripts/install-deps.sh bench   and what the benchmarks in bench/ need
set -euo pipefail

build=(g++ cmake ninja-build pkg-config libcurl4-openssl-dev libboost-regex-dev libcli11-dev
       qt6-base-dev qt6-qpa-plugins)
run=(fonts-wqy-microhei libqt6svg6)
test=(libgtest-dev libgmock-dev libssl-dev xvfb xauth openssl curl)
bench=(libbenchmark-dev time)

case "${1:-test}" in
  run) wanted=("${build[@]}" "${run[@]}") ;;
  test) wanted=("${build[@]}" "${run[@]}" "${test[@]}") ;;
  bench) wanted=("${build[@]}" "${run[@]}" "${test[@]}" "${bench[@]}") ;;
  *) echo "usage: $0 run|test|bench" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
