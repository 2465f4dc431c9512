# Shared by the README's commands: install what the build needs, then configure and build.
set -euo pipefail

QB_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QB_PACKAGES=(g++ cmake ninja-build qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-charts-dev qt6-webengine-dev qt6-declarative-dev libgl-dev libxcb1-dev fonts-liberation2)

qb_install_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
}

# qb_build BUILD_DIR BUILD_TYPE [CMAKE_OPTION...]
qb_build() {
  local dir="$1" type="$2"
  shift 2
  cmake -S "$QB_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@"
  cmake --build "$dir" -j "$(nproc)"
}
