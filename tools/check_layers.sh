#!/usr/bin/env bash
# Checks that the folders of src/ are layers: a folder uses only the folders
# its rule names. Two checks, so that neither a header nor a call slips past:
#
#   check_layers.sh includes SRC_DIR RULE...
#     every '#include "folder/file.h"' of a folder names the folder itself or
#     one it may use, and no logic folder includes a Qt header;
#   check_layers.sh calls LIB_DIR RULE...
#     every symbol of namespace mz that a layer's static library
#     (LIB_DIR/libmz_<layer>.a) leaves undefined is defined in that library or
#     in the library of a layer it may use.
#
# A RULE is "layer=used,used,..." ("core=" uses nothing). Prints each offence
# and exits 1 when there is one.
set -euo pipefail
mode=$1 dir=$2
shift 2
declare -A uses
for rule in "$@"; do uses[${rule%%=*}]=",${rule#*=},"; done

fail=0
case $mode in
  includes)
    for layer in "${!uses[@]}"; do
      [ -d "$dir/$layer" ] || continue
      while IFS=: read -r file line text; do
        target=${text#*\"}
        target=${target%%/*}
        [ "$target" = "$layer" ] && continue
        [[ ${uses[$layer]} == *",$target,"* ]] && continue
        echo "$file:$line: $layer may not include \"${text#*\"}"
        fail=1
      done < <(grep -rnoE '^\s*#\s*include\s*"[a-z_]+/[^"]+"' "$dir/$layer" || true)
      # The logic is plain C++: no Qt below the Qt layer.
      if [[ $layer != ui && $layer != app ]]; then
        if grep -rnE '^\s*#\s*include\s*<Q' "$dir/$layer"; then
          echo "$layer is logic and may not include Qt"
          fail=1
        fi
      fi
    done
    ;;
  calls)
    symbols() {  # $1: nm options; the mangled names of namespace mz
      nm $1 -P "$2" 2>/dev/null | awk 'NF >= 2 && $1 ~ /^_Z[A-Z]*N?[A-Z]*2mz/ { print $1 }' | sort -u
    }
    declare -A defined
    for layer in "${!uses[@]}"; do
      defined[$layer]=$(symbols --defined-only "$dir/libmz_$layer.a")
    done
    for layer in "${!uses[@]}"; do
      allowed=${defined[$layer]}
      for other in "${!uses[@]}"; do
        [[ ${uses[$layer]} == *",$other,"* ]] && allowed+=$'\n'${defined[$other]}
      done
      missing=$(comm -23 <(symbols -u "$dir/libmz_$layer.a") <(sort -u <<<"$allowed"))
      [ -z "$missing" ] && continue
      while read -r sym; do
        owner=""
        for other in "${!uses[@]}"; do
          grep -qxF "$sym" <<<"${defined[$other]}" && owner=$other
        done
        echo "$layer calls $(c++filt "$sym")${owner:+, which is in $owner}"
      done <<<"$missing"
      fail=1
    done
    ;;
  *)
    echo "usage: $0 includes SRC_DIR RULE... | calls LIB_DIR RULE..." >&2
    exit 2
    ;;
esac
exit $fail
