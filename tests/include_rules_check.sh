#!/usr/bin/env bash
# The include check refuses each kind of broken include, planted in a copy of the sources, and
# passes on the copy as it is. Usage: include_rules_check.sh SOURCE_ROOT
set -uo pipefail
source_root=$1
check=$source_root/scripts/check-includes
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
(cd "$source_root" && find objdb src bench tests \( -name '*.h' -o -name '*.cpp' \) -print0 |
     xargs -0 cp --parents -t "$copy" && cp include-rules.txt "$copy")
failures=0

if ! out=$(bash "$check" "$copy"); then
    echo "FAIL: the unchanged copy breaks the rules:"; echo "$out"; failures=1
fi

# file to plant | its include | what the check must say
while IFS='|' read -r file target expected; do
    echo "#include \"$target\"" >"$copy/$file"
    if out=$(bash "$check" "$copy"); then
        echo "FAIL: $file including $target passed"; failures=1
    elif ! grep -qF "$file:1: includes \"$target\" ($expected)" <<<"$out"; then
        echo "FAIL: $file including $target: unexpected report:"; echo "$out"; failures=1
    fi
    rm "$copy/$file"
done <<'EOF'
src/data/planted.cpp|objdb/source/rowreader.h|a header private to objdb
tests/views/planted.cpp|objdb/query/parser.h|a header private to objdb
bench/planted.cpp|objdb/grid/listmoves.h|a header private to objdb
objdb/planted.cpp|services/messageservice.h|services
objdb/planted.cpp|objdb/grid/gridmodel.h|its unit objdb/grid
objdb/datacontext_planted.cpp|objdb/datasource.h|its unit objdb/datasource
objdb/source/planted.cpp|objdb/panel/editpanel.h|its unit objdb/panel
src/services/planted.cpp|data/archive.h|data
EOF

# A rule letting a lower unit include a higher one closes a cycle.
sed -i 's|^objdb/query .*|objdb/query           objdb/grid objdb|' "$copy/include-rules.txt"
if out=$(bash "$check" "$copy"); then
    echo "FAIL: a cycle in the table passed"; failures=1
elif ! grep -q "cycle .*objdb/query" <<<"$out"; then
    echo "FAIL: the cycle was not reported:"; echo "$out"; failures=1
fi

[ $failures -eq 0 ] && echo "the include check refuses every planted include"
exit $failures
