# Sourced by scripts/setup, demo and test: the jobs count, how many
# compilers (and, in scripts/test, tests) run at once. Taken from --jobs N
# (also -j N, --jobs=N) among the script's arguments, else from the
# environment's OVI_JOBS, else every core of the machine; exported as
# OVI_JOBS for the scripts this one runs. The other arguments are left in
# ARGS.
ARGS=()
ovi_jobs="${OVI_JOBS:-}"
while [ $# -gt 0 ]; do
  case "$1" in
    -j|--jobs)
      if [ $# -lt 2 ]; then echo "$(basename "$0"): $1 needs a number" >&2; exit 2; fi
      ovi_jobs="$2"; shift 2 ;;
    --jobs=*) ovi_jobs="${1#--jobs=}"; shift ;;
    -j*) ovi_jobs="${1#-j}"; shift ;;
    *) ARGS+=("$1"); shift ;;
  esac
done
[ -n "$ovi_jobs" ] || ovi_jobs="$(nproc)"
case "$ovi_jobs" in
  *[!0-9]*|0*)
    echo "$(basename "$0"): the jobs count is a whole number from 1 (--jobs N or OVI_JOBS=N), not '$ovi_jobs'" >&2
    exit 2 ;;
esac
export OVI_JOBS="$ovi_jobs"
