# Sourced by the scripts that run Wine: a quiet 32-bit prefix at $1, with no
# Mono or Gecko installer dialogs and no desktop menu entries.
wine_env() {
  export WINEPREFIX=$1 WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
}
