# Sourced by the scripts that need an X server: starts a private Xvfb and exports DISPLAY.
# The server is stopped when the sourcing script exits.
start_private_xvfb() {
    local fdfile
    fdfile=$(mktemp)
    # -displayfd picks a free display number and reports it once the server is ready.
    Xvfb -displayfd 3 -screen 0 1920x1200x24 -noreset -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
    TINTFALL_XVFB_PID=$!
    for _ in $(seq 1 100); do
        [ -s "$fdfile" ] && break
        sleep 0.1
    done
    if [ ! -s "$fdfile" ]; then
        echo "Xvfb did not start" >&2
        rm -f "$fdfile"
        return 1
    fi
    export DISPLAY=":$(head -n 1 "$fdfile")"
    rm -f "$fdfile"
    trap 'kill "$TINTFALL_XVFB_PID" 2>/dev/null || true' EXIT
}
