#!/usr/bin/env bash
# tools/checkLayers on copies of the sources: the copy as it is keeps to the layers; each kind
# of forbidden include put into a fresh copy is named on a line of its own, with its file and
# line, and fails the check.
#   checkLayersTest.sh SOURCE-TREE WORK-FOLDER
set -euo pipefail
source_tree=$1
work=$2
checker=$source_tree/tools/checkLayers
copy=$work/tree
failures=0

# What the tool reads: README.md with the table, and the sources and forms of the four trees,
# copied once and then again for each case.
pristine=$work/pristine
rm -rf "$pristine"
mkdir -p "$pristine"
(cd "$source_tree" &&
    find app foundation sac graphics -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.ui' \) \
        -exec cp --parents -t "$pristine" {} + &&
    cp README.md "$pristine")

fresh_copy() {
    rm -rf "$copy"
    cp -R "$pristine" "$copy"
}

# Puts `#include "HEADER"` on the first line of FILE of the copy.
include_at_top() {
    sed -i "1i #include \"$2\"" "$copy/$1"
}

run_checker() {
    status=0
    output=$("$checker" "$copy" 2>&1) || status=$?
}

report() {
    local name=$1 expected=$2
    echo "FAILED: $name: exit code $status, printed:"
    echo "$output"
    echo "expected:"
    echo "$expected"
    failures=$((failures + 1))
}

# expect_offences NAME LINE…: the check fails with exactly these lines.
expect_offences() {
    local name=$1 expected
    shift
    expected=$(printf '%s\n' "$@")
    run_checker
    if [ "$status" -eq 1 ] && [ "$output" = "$expected" ]; then
        echo "ok: $name"
    else
        report "$name" "exit code 1 and $expected"
    fi
}

# expect_match NAME CODE PATTERN: the check exits with CODE and prints one line matching the
# extended regular expression PATTERN.
expect_match() {
    local name=$1 code=$2 pattern=$3
    run_checker
    if [ "$status" -eq "$code" ] && [ "$(printf '%s\n' "$output" | wc -l)" -eq 1 ] &&
        printf '%s\n' "$output" | grep -Eq "$pattern"; then
        echo "ok: $name"
    else
        report "$name" "exit code $code and one line matching $pattern"
    fi
}

fresh_copy
expect_match "the sources as they are keep to the layers" 0 \
    '^checkLayers: [0-9]+ includes in [0-9]+ files of [0-9]+ folders keep to the layers of README.md$'

fresh_copy
include_at_top app/alerts/alertRule.cpp OrrelinController.h
include_at_top app/export/eventExport.h ../controller/mapFeeding.h
expect_offences "a subject folder including the controller, by name and by path" \
    "app/alerts/alertRule.cpp:1: folder app/alerts may not include app/controller/OrrelinController.h" \
    "app/export/eventExport.h:1: folder app/export may not include app/controller/mapFeeding.h"

fresh_copy
include_at_top app/timeline/QVRStemTimeLineView.cpp catalogueTable.h
include_at_top app/feeds/EQ_QueryController.cpp originTableViewLink.h
expect_offences "folders of one height including each other" \
    "app/feeds/EQ_QueryController.cpp:1: folder app/feeds may not include app/windows/originTableViewLink.h" \
    "app/timeline/QVRStemTimeLineView.cpp:1: folder app/timeline may not include app/feeds/catalogueTable.h"

fresh_copy
include_at_top foundation/lenientNumbers.cpp SacObject.h
include_at_top graphics/map/geoMapView.cpp seismicOrigin.h
include_at_top graphics/plot/QVRView.cpp geoMapView.h
include_at_top sac/SacObject.cpp QVRView.h
expect_offences "a library including a library above it or the program" \
    "foundation/lenientNumbers.cpp:1: folder foundation may not include sac/SacObject.h" \
    "graphics/map/geoMapView.cpp:1: folder graphics/map may not include app/model/seismicOrigin.h" \
    "graphics/plot/QVRView.cpp:1: folder graphics/plot may not include graphics/map/geoMapView.h" \
    "sac/SacObject.cpp:1: folder sac may not include graphics/plot/QVRView.h"

# A form that places a map and a colour well: the statistics may show forms and use the small
# widgets, but not the map.
fresh_copy
cat >"$copy/app/ui/mapPanel.ui" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>mapPanel</class>
 <widget class="QWidget" name="mapPanel"/>
 <customwidgets>
  <customwidget><class>colorWell</class><extends>QPushButton</extends><header>colorWell.h</header></customwidget>
  <customwidget><class>geoMapView</class><extends>QWidget</extends><header>geoMapView.h</header></customwidget>
 </customwidgets>
</ui>
EOF
include_at_top app/statistics/statisticsPlots.cpp ui_mapPanel.h
include_at_top app/model/seismicOrigin.cpp ui_mapPanel.h
expect_offences "a form's widgets count as the including folder's includes" \
    "app/model/seismicOrigin.cpp:1: folder app/model may not include app/ui/mapPanel.ui" \
    "app/model/seismicOrigin.cpp:1: folder app/model may not include app/windows/colorWell.h (a widget of app/ui/mapPanel.ui)" \
    "app/model/seismicOrigin.cpp:1: folder app/model may not include graphics/map/geoMapView.h (a widget of app/ui/mapPanel.ui)" \
    "app/statistics/statisticsPlots.cpp:1: folder app/statistics may not include graphics/map/geoMapView.h (a widget of app/ui/mapPanel.ui)"

fresh_copy
mkdir -p "$copy/app/extra"
echo '#include "seismicOrigin.h"' >"$copy/app/extra/extraHelper.h"
expect_offences "a folder with sources but without a line in the table" \
    "app/extra/: a folder with sources but no line in the layer table of README.md"

fresh_copy
# shellcheck disable=SC2016 # the backquotes are the table's own
sed -i 's#^| `app/base/` | `sac/` |$#| `app/base/` | `sac/`, `app/controller/` |#' "$copy/README.md"
expect_match "a table that goes round" 1 \
    '^README.md:[0-9]+: the layer table goes round: app/base -> app/controller -> app/base$'

fresh_copy
# shellcheck disable=SC2016 # the backquotes are the table's own
sed -i 's#^| `app/arrays/` | #| `app/arrays/` | `app/ghost/`, #' "$copy/README.md"
expect_match "a table naming a folder without sources" 1 \
    '^README.md:[0-9]+: the layer table names app/ghost/, which holds no sources$'

rm -rf "$copy" "$pristine"
if [ "$failures" -ne 0 ]; then
    echo "$failures case(s) failed"
    exit 1
fi
