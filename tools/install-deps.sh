#!/usr/bin/env bash
# Installs the Debian packages Warenkai needs to build, run and test, where they are missing.
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config qt6-base-dev libcurl4-openssl-dev libsqlite3-dev sqlite3
          libgtest-dev libgmock-dev libbenchmark-dev python3 python3-pyftpdlib curl
          qt6-translations-l10n python3-openssl python3-cryptography)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
