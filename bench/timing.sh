# Sourced by the benchmark scripts: wall-clock times of a shell command, one line per run, in µs.
# Usage: run_times_us RUNS COMMAND
run_times_us() {
    local i=0 start end
    while [ "$i" -lt "$1" ]; do
        start=$(date +%s%N)
        sh -c "$2"
        end=$(date +%s%N)
        echo $(((end - start) / 1000))
        i=$((i + 1))
    done
}
