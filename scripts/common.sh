# Shared by run.sh and test.sh: install what is missing, then configure and build.
set -euo pipefail

PLUMET_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PLUMET_PACKAGES=(
  cmake ninja-build g++ pkg-config python3
  qt6-base-dev libgl-dev libsdl2-dev libvorbis-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-mincho fonts-ipafont-gothic fontconfig libfontconfig-dev qt6-translations-l10n libx11-dev
  libxcb-shm0-dev
  xvfb xauth x11-apps x11-utils xdotool imagemagick sox
  clang libclang-rt-14-dev
)

install_packages() {
  local missing=()
  for p in "${PLUMET_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# configure_and_build DIR [extra cmake args...]
configure_and_build() {
  local dir="$1"
  shift
  cmake -S "$PLUMET_ROOT" -B "$dir" -G Ninja "$@"
  cmake --build "$dir"
}
