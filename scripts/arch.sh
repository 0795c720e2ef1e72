# Sourced: which Windows architectures this machine can run under Wine, and the
# build tree of each. VANTREL_ARCH=i686 or VANTREL_ARCH=x86_64 forces one, so that
# either path can be tried on any machine.

# Some kernels refuse every 32-bit Linux program; Wine's 32-bit loader then cannot
# start. Asking the loader itself is the only reliable test.
vantrel_runs_32bit() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The architectures to run, the one Vantrel ships for (i686) first.
vantrel_runnable_arches() {
  case "${VANTREL_ARCH:-}" in
    i686 | x86_64) echo "$VANTREL_ARCH" ;;
    "") if vantrel_runs_32bit; then echo "i686 x86_64"; else echo "x86_64"; fi ;;
    *)
      echo "VANTREL_ARCH must be i686 or x86_64, not '$VANTREL_ARCH'" >&2
      return 2
      ;;
  esac
}

# vantrel_preset ARCH [release]: the CMake preset of an architecture.
vantrel_preset() {
  local kind="${2:-debug}"
  case "$1:$kind" in
    i686:debug) echo default ;;
    x86_64:debug) echo x64 ;;
    i686:release) echo release ;;
    x86_64:release) echo release-x64 ;;
  esac
}
