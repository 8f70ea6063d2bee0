# Sourced by the scripts that start servers, mount file systems or make whole systems (the test command, the
# Debian 13 root, piuparts), which call
#
#     contain [--lock FILE] "$0" "$@"
#
# first. It runs the script again inside a PID namespace and a mount namespace of its own, so that whatever the
# script starts ends when it ends, daemons that leave their parents included, and whatever it mounts goes with
# it. Ctrl-C or a kill (INT or TERM) of the script reaches everything inside as TERM, which lets each script's
# own traps clean up (purge what it installed, end Wine); whatever still runs a minute later is killed. With
# --lock, the script waits for FILE's lock, which it holds until everything inside has ended and which nothing
# inside inherits, so that a daemon cannot keep it. The script's status is its own, 130 after an interrupt and
# 143 after a kill.
contain() {
    contained_lock=
    if [ "$1" = --lock ]; then
        contained_lock=$2
        shift 2
    fi
    if [ "${QUILLMARK_CONTAINED:-}" = 1 ]; then
        # Inside: what this script starts is its own again, contained anew if it contains itself.
        unset QUILLMARK_CONTAINED
        return 0
    fi
    if [ -n "$contained_lock" ]; then
        mkdir -p "$(dirname "$contained_lock")"
        exec 9>"$contained_lock"
        if ! flock -n 9; then
            echo "Waiting for $contained_lock, held by another run"
            flock 9
        fi
    fi
    # The namespace's first process runs the script as its child and stays, so that a signal reaches it at once
    # (a shell runs its traps only between commands), and everything else from there.
    QUILLMARK_CONTAINED=1 unshare --pid --fork --mount-proc --propagation private --kill-child=TERM sh -c '
stop() {
    trap "" INT TERM
    kill -TERM -1 2>/dev/null
    waited=0
    while kill -0 -1 2>/dev/null; do
        if [ $waited -ge 600 ]; then
            echo "Still running a minute after the end, now killed:"
            ps -e -o pid=,args= | grep -v -E "^ *1 | ps -e" || true
            kill -KILL -1 2>/dev/null
            break
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    exit "$1"
}
trap "stop 130" INT
trap "stop 143" TERM
sh "$@" &
wait $!
stop $?
' contained "$@" 9>&- &
    contained_pid=$!
    trap 'contained_forward 130' INT
    trap 'contained_forward 143' TERM
    wait $contained_pid && exit 0
    exit $?
}

# Outside, on a signal: passed on to the namespace's first process (unshare, which waits for it, lets it have
# the signals), and waited for until it has ended.
contained_forward() {
    trap '' INT TERM
    kill -TERM $(cat "/proc/$contained_pid/task/$contained_pid/children" 2>/dev/null) 2>/dev/null || true
    wait $contained_pid 2>/dev/null || true
    exit "$1"
}
