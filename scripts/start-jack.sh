#!/bin/sh
# Starts a JACK server with the dummy backend for the MIDI tests, unless one already answers.
# It never fails: without a server the JACK tests skip themselves. stop-jack.sh stops only a
# server started here.
PIDFILE=/tmp/motif-es-jackd.pid
LOG=/tmp/motif-es-jackd.log

# A probe must not start a server of its own.
export JACK_NO_START_SERVER=1
answers() { jack_lsp >/dev/null 2>&1; }

if answers; then
    echo "JACK server runs (already running)."
    exit 0
fi
if ! command -v jackd >/dev/null 2>&1 || ! command -v jack_lsp >/dev/null 2>&1; then
    echo "JACK server not started: jackd or jack_lsp is not installed; JACK tests will skip."
    exit 0
fi

# No audio device is touched, so no need to ask D-Bus for one.
export JACK_NO_AUDIO_RESERVATION=1
# A generous client timeout: on a loaded machine (parallel builds and tests) a client that
# misses one cycle must not be thrown out of the graph.
nohup jackd --no-realtime -t 10000 -d dummy -r 48000 -p 1024 >"$LOG" 2>&1 </dev/null &
pid=$!
echo "$pid" >"$PIDFILE"

tries=0
while [ "$tries" -lt 50 ]; do
    if answers; then
        echo "JACK server runs (pid $pid, log $LOG)."
        exit 0
    fi
    if ! kill -0 "$pid" 2>/dev/null; then
        break
    fi
    sleep 0.2
    tries=$((tries + 1))
done

kill "$pid" 2>/dev/null
rm -f "$PIDFILE"
echo "JACK server could not be started (see $LOG); JACK tests will skip."
exit 0
