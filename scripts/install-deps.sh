#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Corvella
# need, skipping the ones already present. Safe to run on every build.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config clang-format
  # Qt 6
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-multimedia-dev
  qt6-tools-dev qt6-tools-dev-tools libqt6svg6 qt6-qpa-plugins
  # the charts of the builder's results window (the charts package does not
  # pull in the OpenGL module its CMake files ask for)
  qt6-charts-dev libqt6opengl6-dev
  # the X11 window system: whether a window manager runs; the placement tests
  # run the player on a virtual display
  libxcb1-dev xvfb
  # platform layers: metafiles, OLE compound files, media playback. libwmf's
  # pkg-config file links expat and libjpeg, whose development files its own
  # package does not pull in; it draws text only with the URW base 35 fonts.
  libemf2svg-dev libwmf-dev libexpat1-dev libjpeg-dev fonts-urw-base35 libgsf-1-dev
  libgstreamer1.0-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
  # MIDI clips: the MIDI parser and synthesiser, and a small General MIDI sound font
  gstreamer1.0-plugins-bad timgm6mb-soundfont
  # fonts metric-compatible with the fonts tests are made with
  fonts-liberation2 fonts-dejavu-core
  # fuzz targets: clang with its libFuzzer runtime, and the symbolizer that
  # names the functions in a finding's stack
  clang libclang-rt-14-dev llvm-14
  # tests and benchmarks
  libbenchmark-dev libgtest-dev unrtf
  # the Debian package and the checks of the desktop integration
  dpkg-dev file desktop-file-utils appstream libxml2-utils shared-mime-info xdg-utils
  libfile-mimeinfo-perl
  # the checksums and the JSON parser of attempt records
  libssl-dev libsimdjson-dev
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
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
