# Sourced by the scripts that run Windows code: one private Wine prefix, one display and one
# persistent wineserver for a whole run.
#   wine_env_start   make the prefix if missing, find or start a display, keep wineserver alive
#   wine_env_stop    stop the wineserver and the display that wine_env_start started
# wine_env_start is wine_env_display, wine_env_make_prefix and wine_env_serve in turn; a script
# may make the prefix in the background meanwhile it does other work (tools/test.sh).
TNVEXA_ROOT=${TNVEXA_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
# Debian's wine64 loader is not on PATH.
for d in /usr/lib/wine /usr/lib/x86_64-linux-gnu/wine; do
    [ -x "$d/wine64" ] && case ":$PATH:" in *":$d:"*) ;; *) PATH="$d:$PATH" ;; esac
done
export PATH
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEPREFIX=${TNVEXA_WINEPREFIX:-$TNVEXA_ROOT/build/wineprefix}
export TNVEXA_WINEPREFIX=$WINEPREFIX
export LC_ALL=C.UTF-8

_wine_env_xvfb_pid=

wine_env_make_prefix() {
    [ -f "$WINEPREFIX/.tnvexa-ready" ] && return 0
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    # No network here: keep wineboot from offering the Mono and Gecko downloads.
    WINEDLLOVERRIDES="mscoree=;mshtml=" timeout 180 wine64 wineboot -i >/dev/null 2>&1 || {
        echo "wine-env: wineboot failed for $WINEPREFIX" >&2
        return 1
    }
    timeout 60 wineserver -w
    # Chinese UI text is drawn in the face the program asks for: map it to the installed CJK font.
    # No crash dialog from winedbg (tests crash on purpose). Unmanaged windows: without a window
    # manager on the virtual display, every hide or destroy of a managed window waits ~2 s.
    local reg="$WINEPREFIX/tnvexa-settings.reg"
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
        '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
        '"微软雅黑"="WenQuanYi Micro Hei"' '"Microsoft YaHei"="WenQuanYi Micro Hei"' \
        '"SimSun"="WenQuanYi Micro Hei"' '"宋体"="WenQuanYi Micro Hei"' '' \
        '[HKEY_CURRENT_USER\Software\Wine\MSHTML]' '"GeckoUrl"=""' '' \
        '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' \
        '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' |
        iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
    timeout 60 wine64 regedit /S "$(winepath_w "$reg")" >/dev/null 2>&1
    timeout 60 wineserver -w
    touch "$WINEPREFIX/.tnvexa-ready"
}

# Unix path -> Windows path through drive Z: (no wine process needed).
winepath_w() {
    local p
    p=$(readlink -f "$1")
    printf 'Z:%s' "${p//\//\\}"
}

wine_env_start() {
    wine_env_display && wine_env_make_prefix && wine_env_serve
}

wine_env_display() {
    if [ -z "${DISPLAY:-}" ] || [ -n "${TNVEXA_XVFB:-}" ]; then
        # The server picks a free display number itself and writes it back once it listens:
        # two runs started together never share a display (and each other's keys and windows).
        local number_file i
        number_file=$(mktemp)
        Xvfb -displayfd 3 -screen 0 "${TNVEXA_SCREEN:-1600x1000x24}" -nolisten tcp \
            3>"$number_file" >/dev/null 2>&1 &
        _wine_env_xvfb_pid=$!
        for i in $(seq 1 100); do
            [ -s "$number_file" ] && break
            sleep 0.1
        done
        if [ ! -s "$number_file" ]; then
            rm -f "$number_file"
            echo "wine-env: Xvfb did not start" >&2
            return 1
        fi
        export DISPLAY=":$(head -n 1 "$number_file")"
        rm -f "$number_file"
    fi
}

wine_env_serve() {
    # One persistent server for the run: later wine starts skip the server start-up.
    wineserver -p >/dev/null 2>&1
    # Start Wine's services and desktop now, detached from any caller's output.
    timeout 120 wine64 cmd /c exit </dev/null >/dev/null 2>&1
    return 0
}

wine_env_stop() {
    wineserver -k >/dev/null 2>&1
    if [ -n "$_wine_env_xvfb_pid" ]; then
        kill "$_wine_env_xvfb_pid" 2>/dev/null
        wait "$_wine_env_xvfb_pid" 2>/dev/null
    fi
}
