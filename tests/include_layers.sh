#!/usr/bin/env bash
# Checks that every include between folders under src/ points down the layers:
#   settings <- platform <- assets <- views <- start, menu, game <- app
# A folder includes its own files and those of the folders below it; the window folders do not
# include one another. The one exception is app/shared_state.h, the variables through which the
# windows hand their results on to one another.
# Usage: include_layers.sh SOURCE_ROOT
set -uo pipefail
cd "$1/src" || exit 2
rank() {
    case $1 in
        settings) echo 0 ;; platform) echo 1 ;; assets) echo 2 ;; views) echo 3 ;;
        start | menu | game) echo 4 ;; app) echo 5 ;; *) echo unknown ;;
    esac
}
faults=0
while IFS=: read -r file _ line; do
    from=${file%%/*}
    target=$(sed -E 's/^#include "([^"]+)".*/\1/' <<<"$line")
    to=${target%%/*}
    [ "$from" = "$to" ] || [ "$target" = app/shared_state.h ] && continue
    if [ "$(rank "$from")" = unknown ] || [ "$(rank "$to")" = unknown ] ||
        [ "$(rank "$to")" -ge "$(rank "$from")" ]; then
        echo "$file includes $target: $from may not include from $to"
        faults=$((faults + 1))
    fi
done < <(grep -rn --include='*.h' --include='*.cpp' -E '^#include "[a-z_]+/' -- *)
echo "$faults include(s) pointing up or across"
[ "$faults" -eq 0 ]
