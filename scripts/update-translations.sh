#!/usr/bin/env bash
# update-translations.sh [language...]: brings translations/hallwire_<language>.ts up to
# date with the texts in the windows' sources (app/, desktop/). New texts come in
# unfinished, texts gone from the sources are dropped, finished translations stay.
# Without arguments every .ts file there is updated; a language not yet there (e.g. "it")
# gets a new file. Running it twice changes nothing the second time.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
lupdate=$(command -v lupdate6 || true)
[[ -n $lupdate ]] || lupdate=/usr/lib/qt6/bin/lupdate
[[ -x $lupdate ]] || { echo "update-translations: lupdate not found (Debian package qt6-l10n-tools)" >&2; exit 1; }

cd "$root"
if (($#)); then
  files=()
  for language in "$@"; do files+=("translations/hallwire_$language.ts"); done
else
  files=(translations/hallwire_*.ts)
fi
# Relative paths and no line numbers: the files change only when a text does.
exec "$lupdate" -silent -no-obsolete -locations none -extensions cpp,h -I . app desktop -ts "${files[@]}"
