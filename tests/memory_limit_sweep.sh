#!/bin/sh
# The renderer under address-space limits from too little to enough: each
# run ends with exit 0, or with exit 1 and one line that says why; never
# with a signal, whatever the limit.
# usage: memory_limit_sweep.sh RENDERER FOLDER
set -u
renderer=$1
folder=$2
mkdir -p "$folder"
failures=0
runs=0

sweep() {
    first=$1 last=$2 step=$3
    shift 3
    limit=$first
    while [ "$limit" -le "$last" ]; do
        ( ulimit -v "$limit" && exec "$renderer" "$@" ) >"$folder/out.txt" 2>"$folder/err.txt"
        status=$?
        runs=$((runs + 1))
        last_line=$(tail -n 1 "$folder/err.txt")
        case "$status" in
            0) ;;
            1)
                case "$last_line" in
                    "complex-plot-render: out of memory while making "*) ;;
                    "complex-plot-render: cannot start a thread while making "*) ;;
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

echo "$((runs - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
