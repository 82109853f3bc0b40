#!/usr/bin/env bash
# Checks that every include between folders under src/ points down the layers:
#   settings <- platform <- assets <- views <- start, menu, game <- app
# A folder includes its own files and those of the folders below it; the window folders do not
# include one another. The build already refuses most upward includes (a library's include path
# holds only its own layer and the ones below); this reads what an include path cannot stop, a
# path relative to the including file ("../game/sn.h"), and every other spelling a compiler
# takes: quotes or angle brackets, blanks around the "#", in any source file under src/.
# Usage: include_layers.sh SOURCE_ROOT
set -uo pipefail
src=$(cd "$1/src" && pwd -P) || exit 2
rank() {
    case $1 in
        settings) echo 0 ;; platform) echo 1 ;; assets) echo 2 ;; views) echo 3 ;;
        start | menu | game) echo 4 ;; app) echo 5 ;; *) echo unknown ;;
    esac
}
faults=0
while IFS= read -r -d '' file; do
    here=$(dirname "$file")
    from=${file#"$src"/}
    from=${from%%/*}
    while IFS= read -r target; do
        # Found as a compiler finds it: beside the including file first, then from src/.
        if [ -e "$here/$target" ]; then
            resolved=$(realpath -m "$here/$target")
        elif [ -e "$src/$target" ]; then
            resolved=$(realpath -m "$src/$target")
        else
            continue  # a system or library header
        fi
        case $resolved in "$src"/*) ;; *) continue ;; esac
        to=${resolved#"$src"/}
        to=${to%%/*}
        [ "$from" = "$to" ] && continue
        if [ "$(rank "$from")" = unknown ] || [ "$(rank "$to")" = unknown ] ||
            [ "$(rank "$to")" -ge "$(rank "$from")" ]; then
            echo "${file#"$src"/} includes $target: $from may not include from $to"
            faults=$((faults + 1))
        fi
    done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^">]+)[">].*/\1/p' "$file")
done < <(find "$src" -type f ! -name '*.ttf' ! -name '*.txt' -print0)
echo "$faults include(s) pointing up or across"
[ "$faults" -eq 0 ]
