#!/usr/bin/env bash
# Installs the Debian packages the kit needs, only those that are missing.
# Runs as root in CI; elsewhere it uses sudo when a package is missing.
set -euo pipefail

# Keep in step with the dependency list in README.md.
packages=(cmake make pkg-config g++ libgtest-dev libgmock-dev libbenchmark-dev clang-format
          librtmidi-dev libsdl2-dev libfreetype-dev xfonts-shinonome libpng-dev)
if [ "${1:-}" = "--fuzz" ]; then
    packages+=(clang libclang-rt-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
