#!/usr/bin/env bash
# Installs the Debian packages Pelmor needs to build, test and run, when missing.
set -euo pipefail
# locales: the tests compile a German locale (decimal comma) from its sources.
# fonts-dejavu-core: the memo tests that measure glyphs or read pixels draw in DejaVu Sans Mono.
PKGS=(g++ cmake make qt6-base-dev libgl-dev libjpeg62-turbo-dev libgtest-dev libbenchmark-dev locales fonts-dejavu-core)
if [[ "${1:-}" == "--run" ]]; then
  PKGS+=(qt6-qpa-plugins)
fi
if [[ "${1:-}" == "--fuzz" ]]; then
  PKGS+=(clang)
fi
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
