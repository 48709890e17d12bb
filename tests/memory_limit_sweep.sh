#!/bin/sh
# The renderer, and the explorer offscreen up to its first maps at rest,
# under address-space limits from too little to enough: each run ends with
# exit 0, or with exit 1 and one line that says why; never with a signal
# nor a hang, whatever the limit.
# usage: memory_limit_sweep.sh RENDERER FOLDER [EXPLORER]
set -u
renderer=$1
folder=$2
explorer=${3:-}
mkdir -p "$folder"
failures=0
runs=0

sweep() {
    first=$1 last=$2 step=$3
    shift 3
    program=${program:-$renderer}
    limit=$first
    while [ "$limit" -le "$last" ]; do
        ( ulimit -v "$limit" && exec timeout 120 "$program" "$@" ) >"$folder/out.txt" \
            2>"$folder/err.txt"
        status=$?
        runs=$((runs + 1))
        last_line=$(tail -n 1 "$folder/err.txt")
        case "$status" in
            0) ;;
            1)
                case "$last_line" in
                    "complex-plot-render: out of memory while making "*) ;;
                    "complex-plot-render: cannot start a thread while making "*) ;;
                    "complex-plot-explore: out of memory"*) ;;
                    "complex-plot-explore: cannot start a thread"*) ;;
                    *)
                        echo "limit $limit KiB, $*: exit 1 with: $last_line"
                        failures=$((failures + 1))
                        ;;
                esac
                ;;
            *)
                echo "limit $limit KiB, $*: exit status $status"
                failures=$((failures + 1))
                ;;
        esac
        limit=$((limit + step))
    done
}

sweep 160000 320000 4000 --function 'sin(z)*exp(z)' --size 1024 --figure "$folder/f.pdf"
sweep 100000 300000 10000 --function 'sin(z)*exp(z)' --size 500 --figure "$folder/f.png" \
    --figure-width 3000
sweep 100000 300000 10000 --function 'exp(1/z)' --size 800 --figure "$folder/f.svg" \
    --data "$folder/v.npy" -o "$folder"
sweep 100000 300000 10000 --scale 8 --window "$folder/w.png" -o "$folder" log

if [ -n "$explorer" ]; then
    program=$explorer
    export QT_QPA_PLATFORM=offscreen COMPLEX_PLOT_EXPLORE_QUIT_AFTER_RENDER=1
    export XDG_CONFIG_HOME="$folder/settings"
    sweep 85000 400000 15000 --function 'exp(1/z)' --window=-1,1,-1,1 --size 400x400
fi

echo "$((runs - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
