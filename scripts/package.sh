#!/usr/bin/env bash
# Builds the Debian package (source and binary) into dist/ and checks it with
# lintian: no errors and no warnings allowed (info tags are shown; each one
# is explained in packaging/README.md). Installs what is missing first.
#
# The build runs in a copy of the tree under build-pkg/deb/ (tracked and new
# files, not ignored ones), because dpkg-buildpackage writes its results next
# to the source folder; they are then moved to dist/. Nothing is left in the
# tree or beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/deps.sh package

name=$(dpkg-parsechangelog -l debian/changelog -S Source)
version=$(dpkg-parsechangelog -l debian/changelog -S Version)
upstream=${version%-*}
project=$(sed -n 's/^project(swarmbreak VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ "$upstream" = "$project" ] ||
  { echo "debian/changelog is at $upstream but CMakeLists.txt at $project" >&2; exit 1; }

work=$root/build-pkg/deb
src=$work/$name-$upstream
rm -rf -- "$work"
mkdir -p -- "$src"
if git -C "$root" rev-parse --git-dir >/dev/null 2>&1; then
  git -C "$root" ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
    tar --null -T - -cf - | tar -xf - -C "$src"
else
  tar --exclude='./build*' --exclude=./dist --exclude='./obj-*' --exclude=./.git -cf - . |
    tar -xf - -C "$src"
fi

# The upstream tarball: the same tree without debian/, reproducible.
tar -C "$work" --exclude="$name-$upstream/debian" --sort=name --owner=0 --group=0 \
  --numeric-owner --mtime="@$(dpkg-parsechangelog -l debian/changelog -S Timestamp)" \
  -cJf "$work/${name}_$upstream.orig.tar.xz" "$name-$upstream"

echo "== building ${name}_$version =="
t0=$(date +%s)
(cd "$src" && DEB_BUILD_OPTIONS="nocheck parallel=$(nproc)" dpkg-buildpackage -us -uc) \
  >"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log"; echo "package build failed (log: $work/build.log)" >&2; exit 1; }
echo "built in $(($(date +%s) - t0)) s (log: $work/build.log)"

rm -rf -- "$root/dist"
mkdir -p -- "$root/dist"
find "$work" -maxdepth 1 -type f \( -name '*.deb' -o -name '*.ddeb' -o -name '*.dsc' \
  -o -name '*.tar.*' -o -name '*.buildinfo' -o -name '*.changes' \) -exec mv -t "$root/dist" {} +
ls -l "$root/dist"

echo "== lintian =="
changes=$(ls "$root"/dist/*.changes)
# The .changes names the source package and every .deb, so all are checked;
# the .debs are named as well, which lintian does not count twice.
# Overridden tags are shown too (O:); packaging/README.md says why each is.
lintian --display-info --show-overrides --fail-on none "$changes" "$root"/dist/*.deb | tee "$work/lintian.log"
count() { grep -c "^$1:" "$work/lintian.log" || true; }
echo "lintian: $(count E) errors, $(count W) warnings, $(count I) info, $(count O) overridden"
[ "$(count E)" = 0 ] && [ "$(count W)" = 0 ] || { echo "lintian found errors or warnings" >&2; exit 1; }
