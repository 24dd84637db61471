#!/bin/sh
# Collects the texts of the sources into the translation files under
# resources/translations, keeping every existing translation.
#
#   scripts/update-translations.sh           report what is new or gone, change nothing
#   scripts/update-translations.sh --write   update the .ts files in place
#
# New texts then show up as type="unfinished" and must be translated in all
# sixteen files. Texts that no longer exist in the sources are marked
# "vanished"; lrelease leaves them out of the program.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
lupdate=${LUPDATE:-$(command -v lupdate6 || command -v /usr/lib/qt6/bin/lupdate || echo lupdate)}
ts_dir="$root/resources/translations"
write=0
[ "${1:-}" = "--write" ] && write=1

cd "$root"
# The update windows' texts go to update_*.ts, everything else to language_*.ts.
update_sources="app/Updater.cpp app/Updater.h app/Downloader.cpp app/Downloader.h app/Downloader.ui"
app_sources=$(find app workspace widgets -maxdepth 1 \( -name '*.cpp' -o -name '*.h' -o -name '*.ui' \) \
    ! -name 'Updater.*' ! -name 'Downloader.*' ! -name 'main.cpp' | sort)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for kind in language update; do
    if [ "$kind" = update ]; then sources=$update_sources; else sources=$app_sources; fi
    for ts in "$ts_dir/${kind}"_*.ts; do
        target=$ts
        if [ $write -eq 0 ]; then
            target="$work/$(basename "$ts")"
            cp "$ts" "$target"
        fi
        # shellcheck disable=SC2086
        "$lupdate" -silent -locations none -source-language en $sources -ts "$target"
        new=$(grep -c 'type="unfinished"' "$target" || true)
        gone=$(grep -c 'type="vanished"\|type="obsolete"' "$target" || true)
        if [ "$new" -ne 0 ] || [ "$gone" -ne 0 ]; then
            echo "$(basename "$ts"): $new untranslated, $gone vanished"
            status=1
        fi
    done
done
[ $status -eq 0 ] && echo "translations are up to date"
exit $status
