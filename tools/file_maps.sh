#!/usr/bin/env bash
# Writes FILES.md in each top-level source folder: every tracked file with its purpose, taken
# from the file's opening comment, so a newcomer can find a file without opening them all.
#
#   tools/file_maps.sh           write the maps
#   tools/file_maps.sh --check   exit 1 when a map differs from what would be written, or when
#                                a source file has no purpose line (what `make test` runs)
#
# The purpose is the first sentence of the file's opening comment block (`//` in C++, `#` in
# shell scripts and CMake files, after a `#!` line); a blank comment line ends the block.
# Files that are not sources (songs, pictures, fuzz inputs) are listed by folder instead.
set -euo pipefail
cd "$(dirname "$0")/.."

FOLDERS=(platform common songcore sequencer gui converter tools tests)
MISSING_MARK='**(no purpose line: add one at the top of the file)**'

check=0
case "${1:-}" in
--check) check=1 ;;
"") ;;
*)
    echo "usage: tools/file_maps.sh [--check]" >&2
    exit 2
    ;;
esac

is_source() {
    case "$1" in
    *.cpp | *.h | *.sh | */CMakeLists.txt) return 0 ;;
    *) return 1 ;;
    esac
}

# Paths sorted by their folder, then by name, so each folder's files stay together.
by_folder() {
    LC_ALL=C awk '{ dir = $0; sub(/\/[^\/]*$/, "", dir); print dir "\t" $0 }' |
        LC_ALL=C sort -t "$(printf '\t')" -k1,1 -k2,2 | cut -f2-
}

# The map of one folder, on standard output: one awk pass reads the opening comment of every
# source file (the purpose is its first sentence), then the data folders are listed.
map_of() {
    local folder=$1 file
    local -a sources=()
    local data=""
    while IFS= read -r file; do
        [ "$file" = "$folder/FILES.md" ] && continue
        if is_source "$file"; then
            sources+=("$file")
        else
            data+="$file"$'\n'
        fi
    done < <(git ls-files -- "$folder" | by_folder)

    echo "# $folder/: what each file is for"
    echo
    echo "Written by \`tools/file_maps.sh\` from the opening comment of every file; change the"
    echo "comment, then run the script. The layers and flows are in docs/ARCHITECTURE.md."
    [ ${#sources[@]} -gt 0 ] && LC_ALL=C awk -v missing="$MISSING_MARK" '
        FNR == 1 {
            file = FILENAME
            marker = (file ~ /\.(cpp|h)$/) ? "//" : "#"
            done = 0
            text = ""
            if (/^#!/) { next }
        }
        done { next }
        {
            line = $0
            sub(/^[ \t]+/, "", line)
            if (line == "" && text == "") { next }
            if (index(line, marker) != 1) { done = 1; next }
            part = substr(line, length(marker) + 1)
            sub(/^[ \t]+/, "", part)
            sub(/[ \t]+$/, "", part)
            if (part == "") {
                if (text != "") { done = 1 }
                next
            }
            # A word hyphenated at the end of a line goes on without a space.
            if (text == "") { text = part }
            else if (text ~ /[A-Za-z]-$/) { text = text part }
            else { text = text " " part }
            purpose[file] = text
        }
        END {
            for (i = 1; i < ARGC; i++) {
                file = ARGV[i]
                dir = file
                sub(/\/[^\/]*$/, "", dir)
                if (dir != last_dir) {
                    printf "\n## %s/\n\n", dir
                    last_dir = dir
                }
                text = purpose[file]
                # A sentence ends at a full stop followed by a space or the end of the block.
                if (match(text, /\.( |$)/)) { text = substr(text, 1, RSTART) }
                # "<name" would read as an HTML tag in Markdown, and "*" may start emphasis.
                gsub(/<[A-Za-z]/, "\\\\&", text)
                gsub(/\*/, "\\\\&", text)
                if (text == "") {
                    text = missing
                    print "file_maps: no purpose line in " file > "/dev/stderr"
                }
                printf "- `%s`: %s\n", substr(file, length(dir) + 2), text
            }
        }' "${sources[@]}"
    if [ -n "$data" ]; then
        echo
        echo "## Data (no purpose lines; the tests and tools that read them say what they are)"
        echo
        # Each folder with the kinds of file in it, by extension, so a new kind shows up here.
        printf '%s' "$data" | LC_ALL=C awk '
            {
                dir = $0
                sub(/\/[^\/]*$/, "", dir)
                name = substr($0, length(dir) + 2)
                kind = (name ~ /\./) ? name : "(no extension)"
                sub(/^.*\./, ".", kind)
                if (!((dir, kind) in seen)) {
                    seen[dir, kind] = 1
                    n = ++kind_count[dir]
                    # Kept sorted, so a new file of a kind already there changes nothing.
                    while (n > 1 && kind_of[dir, n - 1] > kind) {
                        kind_of[dir, n] = kind_of[dir, n - 1]
                        n--
                    }
                    kind_of[dir, n] = kind
                }
                if (!(dir in order)) { order[dir] = ++count; dirs[count] = dir }
            }
            END {
                for (i = 1; i <= count; i++) {
                    dir = dirs[i]
                    line = kind_of[dir, 1]
                    for (n = 2; n <= kind_count[dir]; n++) { line = line " " kind_of[dir, n] }
                    printf "- `%s/`: %s\n", dir, line
                }
            }'
    fi
}

status=0
for folder in "${FOLDERS[@]}"; do
    map="$folder/FILES.md"
    generated=$(map_of "$folder")
    if [ $check -eq 0 ]; then
        printf '%s\n' "$generated" >"$map"
        echo "wrote $map"
    elif ! printf '%s\n' "$generated" | cmp -s - "$map"; then
        echo "file_maps: $map is stale (a file was added, removed or its opening comment changed)" >&2
        status=1
    fi
    if grep -q -F -- "$MISSING_MARK" <<<"$generated"; then
        status=1
    fi
done
if [ $status -ne 0 ]; then
    if [ $check -eq 1 ]; then
        echo "file_maps: run tools/file_maps.sh and commit the maps" >&2
    fi
    exit 1
fi
