# shellcheck shell=bash
# The Debian packages the tools need, and the one way they install those that are missing.
# Sourced by tools/quickstart and tools/fuzz; needs root or sudo when something is missing.

# shellcheck disable=SC2034 # the lists are read by the scripts that source this
build_packages=(cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools qt6-webengine-dev
    libxml2-dev libgtest-dev libbenchmark-dev libnetcdf-dev libfftw3-dev libsimdjson-dev libmseed-dev)
run_packages=(qt6-image-formats-plugins fonts-urw-base35 marble-qt-data ferret-datasets libmseed2)
test_packages=(xvfb xauth desktop-file-utils appstream)
# libFuzzer and the sanitizers' runtime come with clang's runtime package.
fuzz_packages=(clang libclang-rt-14-dev)

missing_packages() {
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
    done
}

install_missing() {
    local missing
    mapfile -t missing < <(missing_packages "$@")
    [ "${#missing[@]}" -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "${0##*/}: installing ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
