#!/bin/sh
# Stops the JACK server that start-jack.sh started, and no other.
PIDFILE=/tmp/motif-es-jackd.pid

if [ ! -f "$PIDFILE" ]; then
    echo "No JACK server started by start-jack.sh."
    exit 0
fi
pid=$(cat "$PIDFILE")
# The pid may have been reused since: only a jackd is ours.
if [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "jackd" ]; then
    kill "$pid"
    tries=0
    while kill -0 "$pid" 2>/dev/null && [ "$tries" -lt 25 ]; do
        sleep 0.2
        tries=$((tries + 1))
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill -9 "$pid"
    fi
    echo "JACK server stopped (pid $pid)."
else
    echo "The JACK server started by start-jack.sh is gone."
fi
rm -f "$PIDFILE"
exit 0
