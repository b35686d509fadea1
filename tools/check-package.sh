#!/usr/bin/env bash
# Builds the Debian package from a release build and holds it to lintian (no
# error, no warning) and to the install layout the README gives.
# Usage: tools/check-package.sh [RELEASE_BUILD_DIR]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
rm -f "$build"/quorvalent_*.deb
if ! log=$(cd "$build" && cpack -G DEB 2>&1); then echo "$log" >&2; exit 1; fi
deb=$(echo "$build"/quorvalent_*.deb)
lintian --fail-on error,warning --allow-root "$deb"
contents=$(dpkg-deb -c "$deb")
status=0
for file in usr/bin/quorvalent usr/bin/quorvalent-render usr/libexec/xscreensaver/quorvalent \
  usr/share/man/man6/quorvalent.6.gz usr/share/man/man1/quorvalent-render.1.gz \
  usr/share/applications/quorvalent.desktop usr/share/icons/hicolor/48x48/apps/quorvalent.png \
  usr/share/xscreensaver/config/quorvalent.xml usr/share/doc/quorvalent/copyright \
  usr/share/doc/quorvalent/changelog.gz; do
  grep -q " \./$file\$" <<<"$contents" || { echo "$deb: $file is missing" >&2; status=1; }
done
((status == 0)) && echo "$deb: lintian finds no error or warning; the README's files are there"
exit $status
