#!/usr/bin/env bash
# The help file is a real compiled help file: extracted with extract_chmLib (Debian's
# libchm-bin), it holds every page of its table of contents byte for byte as in docs/help, its
# default topic and title, and every link between the pages leads to a page and anchor in it.
#   chm_contents.sh CHM SOURCE_FOLDER
set -uo pipefail
chm=$1
src=$2
status=0
fail() { echo "FAIL: $*"; status=1; }

command -v extract_chmLib >/dev/null || { echo "FAIL: extract_chmLib missing (libchm-bin)"; exit 1; }
[ -s "$chm" ] || { echo "FAIL: no help file at $chm"; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
extract_chmLib "$chm" "$out" >/dev/null || { echo "FAIL: extract_chmLib could not read $chm"; exit 1; }

# The pages the table of contents names, in its order.
mapfile -t pages < <(grep -o '<param name="Local" value="[^"]*"' "$src/toc.hhc" | sed 's/.*value="//; s/"$//')
[ "${#pages[@]}" -ge 7 ] || fail "the table of contents names ${#pages[@]} pages"
for page in "${pages[@]}" toc.hhc index.hhk style.css; do
    if [ ! -f "$out/$page" ]; then
        fail "$page is not in the help file"
    elif ! cmp -s "$out/$page" "$src/$page"; then
        fail "$page in the help file differs from $src/$page"
    fi
done

# No page of the sources is left out of the table of contents.
for file in "$src"/*.html; do
    name=$(basename "$file")
    printf '%s\n' "${pages[@]}" | grep -qx "$name" || fail "$name is not in the table of contents"
done

# The help opens on the first page of the contents, under its title.
grep -aq "${pages[0]}" "$out/#SYSTEM" || fail "the default topic is not ${pages[0]}"
grep -aq "Ombrevane Help" "$out/#SYSTEM" || fail "the title is not Ombrevane Help"

# Every link between pages leads to a page in the file, and to an anchor that page defines.
for page in "${pages[@]}"; do
    while read -r link; do
        target=${link%%#*}
        anchor=""
        [[ "$link" == *"#"* ]] && anchor=${link#*#}
        [ -n "$target" ] || target=$page
        if [ ! -f "$out/$target" ]; then
            fail "$page links to $target, which is not in the help file"
        elif [ -n "$anchor" ] && ! grep -q "name=\"$anchor\"" "$out/$target"; then
            fail "$page links to $target#$anchor, which has no such anchor"
        fi
    done < <(grep -o 'href="[^"]*"' "$out/$page" | sed 's/href="//; s/"$//' | grep -v '^style.css$')
done

if [ "$status" -eq 0 ]; then
    echo "PASS: ${#pages[@]} pages of the contents in $(basename "$chm"), all as in their sources"
fi
exit "$status"
