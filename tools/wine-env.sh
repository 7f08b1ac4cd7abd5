# Sourced by the scripts that run Wine.
#
# wine_env DIR: a quiet 64-bit prefix at DIR, as most users' Windows is: the
# 32-bit saver, installer and tests run in WoW64 (their system32 is syswow64,
# their HKLM\Software is Wow6432Node) beside Wine's 64-bit services, which
# also run natively where 32-bit programs are emulated.  No Mono or Gecko
# installer dialogs, no desktop menu entries and no debugger (winedbg would
# wait on a crash for a user who is not there).
wine_env() {
  export WINEPREFIX=$1 WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
}

# i386_route SCRIPT [ARGS...]: returns where Wine's 32-bit programs run as
# they are, and otherwise runs SCRIPT ARGS again where they do, in place of
# the caller, with the same bash and by SCRIPT's full path (started as "bash
# dev", $0 is a bare name, which exec would look for in PATH).  That is the
# native route when the kernel runs 32-bit x86 code; the emulated route where
# it cannot, or when TINDLE_EMULATE_I386=1: qemu-i386 is registered for
# 32-bit ELF programs in a binfmt_misc instance private to a new user and
# mount namespace, so nothing is registered for the rest of the machine and
# the registration goes with the script.  TINDLE_ROUTE tells the programs
# inside which route they are on; i386_emulated says whether the emulated
# route is the one, i386_inside whether this is its namespace.
tindle_tools=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tindle_qemu=$tindle_tools/../build/qemu/usr/bin/qemu-i386
i386_emulated() {
  [ "${TINDLE_EMULATE_I386:-0}" = 1 ] || ! /usr/lib/wine/wine --version >/dev/null 2>&1
}

i386_inside() {
  [ -e /proc/sys/fs/binfmt_misc/tindle-i386 ]
}

i386_route() {
  i386_inside && return 0
  if ! i386_emulated; then
    export TINDLE_ROUTE=native
    return 0
  fi
  local release major minor
  release=$(uname -r)
  IFS=. read -r major minor _ <<<"$release"
  if [ "$major" -lt 6 ] || { [ "$major" -eq 6 ] && [ "$minor" -lt 7 ]; }; then
    echo "tindle: 32-bit programs need qemu-i386 in a private binfmt_misc, which needs Linux 6.7 or later; this is $release" >&2
    exit 2
  fi
  [ -x "$tindle_qemu" ] || { echo "tindle: $tindle_qemu is missing: ./dev build fetches it" >&2; exit 2; }
  export TINDLE_ROUTE=emulated
  local script
  script=$(realpath -s "$1")
  shift
  exec unshare --user --map-root-user --mount -- "$tindle_tools/i386-namespace" "$tindle_qemu" \
    "$BASH" "$script" "$@"
}
