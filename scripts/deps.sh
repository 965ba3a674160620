# Sourced by ./test and ./run: installs the Debian packages the build and
# the tests need, when any is missing. Nothing else is assumed installed.
# desktop-file-utils and appstream validate the installed desktop files;
# dpkg-dev (dpkg-shlibdeps) and file let scripts/package work out the
# Debian package's dependencies. clang-format checks the sources' layout
# (.ci/run).
TREVALON_PACKAGES=(
  cmake g++ make pkg-config clang-format
  qt6-base-dev qt6-serialport-dev libgl-dev
  libgtest-dev libbenchmark-dev
  socat ser2net python3 python3-serial
  libtango-dev python3-tango  # trevalon-tango, and PyTango for its smoke test
  locales
  desktop-file-utils appstream dpkg-dev file
)

trevalon_install_deps() {
  trevalon_install_packages
  trevalon_make_locale de_DE.UTF-8
}

# The window tests run once more under a decimal-comma locale.
trevalon_make_locale() {
  locale -a 2>/dev/null | grep -qi "^${1%%.*}\.utf-\?8$" && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Generating the locale $1"
  $sudo sed -i "s/^# *\($1 UTF-8\)/\1/" /etc/locale.gen
  grep -q "^$1 UTF-8" /etc/locale.gen || echo "$1 UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
}

trevalon_install_packages() {
  local missing=()
  for p in "${TREVALON_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# trevalon_build [ON]: with ON, warnings are errors. Without it the build
# keeps whatever the build folder was configured with, so that ./run after
# ./test does not rebuild everything.
trevalon_build() {
  local args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
  [ -n "${1:-}" ] && args+=(-DTREVALON_WERROR="$1")
  cmake -S . -B build "${args[@]}" >/dev/null
  cmake --build build -j"$(nproc)"
}
