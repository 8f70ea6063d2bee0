# Summaries of a column of numbers in a file of runs, for the benchmark scripts to source.

median() { # file column
    sort -n -k "$2" "$1" | awk -v column="$2" '{ v[NR] = $column }
        END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

quartiles() { # file column: the middle half of the runs
    sort -n -k "$2" "$1" | awk -v column="$2" '{ v[NR] = $column }
        END { printf "%.1f-%.1f", v[int((NR + 3) / 4)], v[int((3 * NR + 3) / 4)] }'
}
