# Interleaved runs, and summaries of a column of numbers in a file of them, for the benchmark scripts to source.

interleaved() { # rounds name...: "measure NAME" for each name in each round (numbered from 0 in $round),
    # in a fresh shuffled order each time, so that what the machine does meanwhile falls on all alike
    round=0
    rounds_asked=$1
    shift
    while [ "$round" -lt "$rounds_asked" ]; do
        for name in $(printf '%s\n' "$@" | shuf); do
            measure "$name"
        done
        round=$((round + 1))
    done
}

median() { # file column
    sort -n -k "$2" "$1" | awk -v column="$2" '{ v[NR] = $column }
        END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

quartiles() { # file column: the middle half of the runs
    sort -n -k "$2" "$1" | awk -v column="$2" '{ v[NR] = $column }
        END { printf "%.1f-%.1f", v[int((NR + 3) / 4)], v[int((3 * NR + 3) / 4)] }'
}
