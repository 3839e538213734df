#!/bin/sh
# Installs the Debian packages named on the command line that are missing.
# As root it runs apt-get; otherwise it prints the command and fails.
set -eu
missing=""
for p in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends $missing
else
  echo "Missing packages:$missing" >&2
  echo "Run: sudo apt-get install -y$missing" >&2
  exit 1
fi
