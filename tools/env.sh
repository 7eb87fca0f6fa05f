# Sourced by the scripts: where Wine and its prefix live.
export WINEPREFIX=${TESSALY_WINEPREFIX:-$HOME/.local/share/tessaly/wine64}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINE WINESERVER
