#!/usr/bin/env bash
# Standing checks that need no build: every C++ file formatted as .clang-format says, and every
# generated data file in step with the script that writes it. Exits non-zero on the first kind
# of difference, naming the files; `clang-format -i FILE` or the named script mends them.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

status=0
if ! git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror 2>/tmp/motif-format.log; then
  echo "check: these files are not formatted (run clang-format -i on them):" >&2
  grep -o '^[^:]*:[0-9]*' /tmp/motif-format.log | cut -d: -f1 | sort -u | sed 's/^/  /' >&2
  status=1
fi
for generator in scripts/es_preset_names.py scripts/rack_es_tables.py scripts/draw_images.py \
                 tools/make_x0v_templates.py; do
  if ! python3 "$generator" --check >/dev/null; then
    echo "check: the files $generator writes are out of date: run python3 $generator" >&2
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "check: formatting and generated data up to date"
exit "$status"
