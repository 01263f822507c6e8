#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Works as root or through sudo; does nothing when everything is present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-webengine-dev qt6-webengine-dev-tools libqt6webenginewidgets6 libgl-dev libxcb1-dev
  qt6-charts-dev qt6-svg-dev
  libicu-dev googletest libgtest-dev libgmock-dev libbenchmark-dev
  fonts-wqy-zenhei xvfb xauth psmisc
  clang libclang-rt-14-dev
  librsvg2-bin qt6-translations-l10n man-db python3-yaml
  desktop-file-utils appstream dpkg-dev file lintian
  libphonenumber-dev python3-phonenumbers
  libsqlite3-dev libpsl-dev publicsuffix libexpat1-dev zlib1g-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "Missing packages (${missing[*]}) and no root rights or sudo to install them." >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
