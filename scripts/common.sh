# Shared by the build, run and test scripts: where the tree is and how to build it.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="${JOBS:-$(nproc)}"
LAUNCHER=()
command -v ccache >/dev/null 2>&1 && LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

# configure_and_build BUILD_DIR [cmake options...]
# BUILD_TARGETS (space-separated) builds only those targets and what they link.
configure_and_build() {
  local dir="$1"; shift
  cmake -S "$ROOT" -B "$dir" -G Ninja "${LAUNCHER[@]}" "$@" >/dev/null || return
  local targets=()
  [ -n "${BUILD_TARGETS:-}" ] && read -r -a targets <<<"--target $BUILD_TARGETS"
  cmake --build "$dir" -j "$JOBS" "${targets[@]}"
}

# Paths relative to the tree, so clones in other folders share compiled objects.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$ROOT}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
