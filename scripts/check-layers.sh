#!/usr/bin/env bash
# Checks that every folder of src/ includes only its own headers and those of the folders it
# links to (the table below mirrors each folder's target_link_libraries), and that widget
# headers appear only in ui/ and app/. Prints each offending line; exits 1 when there is one.
# Usage: scripts/check-layers.sh [project folder]      (default: this checkout)
set -euo pipefail
root="${1:-$(dirname "$0")/..}"
cd "$root"

# layer: the layers it may include, itself first.
declare -A allowed=(
  [base]="base"
  [store]="store base"
  [structure]="structure store base"
  [platform]="platform store base"
  [viewer]="viewer store base"
  [content]="content store base"
  [monitor]="monitor platform store base"
  [sharing]="sharing content structure store base"
  [workspace]="workspace sharing content structure platform store base"
  [ui/viewer]="ui/viewer viewer store base"
  [ui/pages]="ui/pages content store base"
  [ui/sharing]="ui/sharing ui/pages sharing content structure store base"
  [ui/monitor]="ui/monitor ui/viewer workspace sharing monitor content viewer structure platform store base"
  [ui/sound]="ui/sound base"
  [ui/main]="ui/main ui/sound ui/sharing ui/pages ui/monitor ui/viewer workspace sharing monitor content viewer structure platform store base"
  [app]="app ui/main ui/sound ui/sharing ui/pages ui/monitor ui/viewer workspace sharing monitor content viewer structure platform store base"
)
widgets='^[[:space:]]*#[[:space:]]*include[[:space:]]*<(QtWidgets|QWidget|QMainWindow|QDialog|QTreeView|QTableView|QListView|QPushButton|QApplication|QMessageBox)'

layer_of() {  # src/ui/main/x.cpp -> ui/main; src/store/x.cpp -> store
  local rest="${1#src/}"
  case "$rest" in
    ui/*) rest="${rest#ui/}"; echo "ui/${rest%%/*}" ;;
    *) echo "${rest%%/*}" ;;
  esac
}

problems=0
while IFS= read -r file; do
  layer=$(layer_of "$file")
  if [ -z "${allowed[$layer]+set}" ]; then
    echo "$file: the folder '$layer' has no entry in the layer table"
    problems=$((problems + 1))
    continue
  fi
  line_number=0
  while IFS= read -r line; do
    line_number=$((line_number + 1))
    if [[ "$line" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([a-z_]+)/([a-z_]+)/?[^\"]*\" ]]; then
      target="${BASH_REMATCH[1]}"
      [ "$target" = ui ] && target="ui/${BASH_REMATCH[2]}"
      [ -n "${allowed[$target]+set}" ] || continue  # not one of our folders
      if [[ " ${allowed[$layer]} " != *" $target "* ]]; then
        echo "$file:$line_number: $layer may not include $target: $line"
        problems=$((problems + 1))
      fi
    fi
    if [[ "$layer" != ui/* && "$layer" != app ]] && [[ "$line" =~ $widgets ]]; then
      echo "$file:$line_number: widget header outside ui/ and app/: $line"
      problems=$((problems + 1))
    fi
  done < "$file"
done < <(find src -name '*.h' -o -name '*.cpp' | sort)

if [ "$problems" -gt 0 ]; then
  echo "layer check: $problems offending line(s)"
  exit 1
fi
echo "layer check: every include goes downwards"
