# Shared by scripts/run and scripts/test: configure and build one build directory.
# usage: tavrill_build <build-dir> [extra cmake args...]
tavrill_build() {
  local dir=$1; shift
  local top
  top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  if [ ! -f "$top/$dir/build.ninja" ]; then
    cmake -S "$top" -B "$top/$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  fi
  cmake --build "$top/$dir" -j"$(nproc)"
}
