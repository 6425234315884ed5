#!/usr/bin/env bash
# Fails when a file under src/ includes a header of a layer above its own. The layers,
# lowest first: base <- platform <- scene <- effects <- game <- gui <- app; net sits
# between base and game (it sees only base, and game and above may see it).
# Usage: scripts/check-layers.sh [source root, default src]
set -u
root="${1:-$(cd "$(dirname "$0")/.." && pwd)/src}"
root="${root%/}"

allowed() {
    case "$1" in
        base) echo "base" ;;
        platform) echo "base platform" ;;
        scene) echo "base platform scene" ;;
        effects) echo "base platform scene effects" ;;
        net) echo "base net" ;;
        game) echo "base platform scene effects net game" ;;
        gui) echo "base platform scene effects net game gui" ;;
        app) echo "base platform scene effects net game gui app" ;;
        *) return 1 ;;
    esac
}

status=0
for dir in "$root"/*/; do
    layer=$(basename "$dir")
    if ! ok=$(allowed "$layer"); then
        echo "check-layers: unknown layer folder $dir" >&2
        status=1
        continue
    fi
    # Every quoted include that names a folder: file:line:#include "folder/...".
    while IFS=: read -r file line text; do
        target=$(sed -n 's/.*#[[:space:]]*include[[:space:]]*"\([^/"]*\)\/.*/\1/p' <<<"$text")
        case " $ok " in
            *" $target "*) ;;
            *)
                echo "$(realpath --relative-to="$PWD" "$file"):$line: $text   ($layer may not include $target)" >&2
                status=1
                ;;
        esac
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' "${dir%/}" || true)
done
[ $status -eq 0 ] && echo "check-layers: every include points down or sideways"
exit $status
