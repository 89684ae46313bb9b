#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need.
# Idempotent: when all packages are present nothing is downloaded.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qtbase5-dev libqt5serialport5-dev libqt5svg5-dev
  libqcustomplot-dev libxlsxwriter-dev
  qttools5-dev-tools qttranslations5-l10n
  fonts-noto-cjk fonts-crosextra-carlito
  xvfb xauth
  python3 python3-openpyxl poppler-utils python3-xlsxwriter
  libbenchmark-dev zlib1g-dev
  clang libclang-rt-14-dev
  ccache
  mosquitto mosquitto-clients libmosquitto-dev libssl-dev qtkeychain-qt5-dev openssl
  dbus qtmultimedia5-dev
  libsystemd-dev
  prometheus
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
