#!/usr/bin/env bash
# Checks the Debian package that `make package` wrote: the files an operator
# expects are in it, lintian finds no errors, and the menu entry and the
# AppStream data are valid. Tools that are not installed are skipped with a
# note (install-deps.sh brings them all).
#   check-package.sh BUILD_DIR          the .deb of `make package` in BUILD_DIR
#   check-package.sh --make BUILD_DIR   first builds one into BUILD_DIR/package-check
#                                       (the tests: `make package`'s own stays)
set -euo pipefail
make_first=0
if [ "${1:-}" = "--make" ]; then
  make_first=1
  shift
fi
build_dir=$(cd "${1:?usage: check-package.sh [--make] BUILD_DIR}" && pwd)
source_dir=$(cd "$(dirname "$0")/.." && pwd)
if [ "$make_first" -eq 1 ]; then
  rm -rf "$build_dir/package-check"
  (cd "$build_dir" && "${CPACK:-cpack}" -G DEB -B "$build_dir/package-check" >/dev/null)
  build_dir=$build_dir/package-check
fi

shopt -s nullglob
debs=("$build_dir"/aostrack_*_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "expected one aostrack_<version>_<arch>.deb in $build_dir, found ${#debs[@]}" >&2; exit 1; }
deb=${debs[0]}
failed=0

listing=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')
for wanted in \
  /usr/bin/aostrack /usr/bin/aostrack-cli \
  "/usr/lib/*/aostrack/libExtIO_FCD_Quillon.so" \
  /usr/share/aostrack/sat.ini /usr/share/aostrack/doppler.sql \
  /usr/share/applications/aostrack.desktop \
  /usr/share/icons/hicolor/scalable/apps/aostrack.svg \
  /usr/share/icons/hicolor/256x256/apps/aostrack.png \
  "/usr/share/metainfo/*.metainfo.xml" \
  /usr/share/man/man1/aostrack.1.gz /usr/share/man/man1/aostrack-cli.1.gz \
  /usr/share/doc/aostrack/copyright /usr/lib/systemd/user/aostrack-track.service; do
  pattern=$(sed 's/\*/[^\/]*/g' <<<"$wanted")
  grep -qx -- "$pattern" <<<"$listing" || { echo "missing from the package: $wanted" >&2; failed=1; }
done
# Every element file and frequency list of the example station.
for example in "$source_dir"/examples/*; do
  [[ $example == *.service ]] && continue
  grep -qx "/usr/share/aostrack/$(basename "$example")" <<<"$listing" \
    || { echo "missing from the package: /usr/share/aostrack/$(basename "$example")" >&2; failed=1; }
done
dpkg-deb -f "$deb" Depends | grep -q 'libqt6core6' \
  || { echo "Depends lacks the Qt libraries (dpkg-shlibdeps did not run?)" >&2; failed=1; }

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"

if command -v lintian >/dev/null; then
  # Errors only fail the check; warnings are shown.
  lintian --tag-display-limit 0 --allow-root "$deb" | tee "$unpacked/lintian.txt" || true
  if grep -q '^E:' "$unpacked/lintian.txt"; then
    echo "lintian reports errors" >&2
    failed=1
  fi
else
  echo "lintian not installed: skipped" >&2
fi
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$unpacked/usr/share/applications/aostrack.desktop" || failed=1
else
  echo "desktop-file-validate not installed: skipped" >&2
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$unpacked"/usr/share/metainfo/*.metainfo.xml || failed=1
else
  echo "appstreamcli not installed: skipped" >&2
fi
if [ "$failed" -eq 0 ]; then
  echo "package check passed: $deb"
fi
exit "$failed"
