#!/usr/bin/env bash
# Installs the Debian 12 packages the project builds, tests and screenshots with,
# and any further packages a script names as arguments (package.sh: lintian;
# startup-bench.sh: bc; bench-report.sh: python3).
# Idempotent and non-interactive: apt-get update runs only when something is missing.
# Uses sudo when not run as root.
set -euo pipefail

PACKAGES=(cmake ninja-build g++ qt6-base-dev libqcustomplot-dev libqcustomplot2.1-qt6
          libjpeg62-turbo-dev libjpeg-turbo-progs libbenchmark-dev
          xvfb xauth x11-utils x11-apps imagemagick fonts-liberation2 locales
          desktop-file-utils appstream dpkg-dev xdotool ccache pkgconf
          libxlsxwriter-dev        # the jury report's spreadsheet
          qt6-translations-l10n)   # the last: the toolkit's own texts in Hungarian
PACKAGES+=("$@")

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The number-format tests run under a Hungarian locale (decimal comma).
if ! locale -a 2>/dev/null | grep -qi '^hu_HU\.utf-\?8$'; then
  echo "Generating the hu_HU.UTF-8 locale"
  if [ -f /etc/locale.gen ] && grep -q '^# *hu_HU.UTF-8' /etc/locale.gen; then
    $SUDO sed -i 's/^# *\(hu_HU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  elif ! grep -q '^hu_HU.UTF-8' /etc/locale.gen 2>/dev/null; then
    echo "hu_HU.UTF-8 UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null
fi
