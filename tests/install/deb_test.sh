#!/usr/bin/env bash
# deb_test.sh BUILD_DIR SOURCE_DIR SAMPLE_DB
# Builds the Debian package, checks its control data, asks dpkg whether it would install,
# and builds the example host against its unpacked contents.
set -euo pipefail
build=$1 source=$2 sample=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/packages" >"$work/cpack.log") || {
    cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/packages/*.deb)
echo "package: $(basename "$deb")"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in libqt6widgets6 libsqlite3 libc6; do
    grep -q "$needed" <<<"$depends" || { echo "missing dependency $needed"; exit 1; }
done
# Would it install here? (Needs the dpkg database, so only as root.)
if [ "$(id -u)" -eq 0 ]; then
    dpkg --dry-run -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; exit 1; }
fi

dpkg-deb -x "$deb" "$work/root"
[ -x "$work/root/usr/bin/MorvaneDemo" ]
ls "$work"/root/usr/lib/*/qt6/plugins/designer/libmorvane_designer.so >/dev/null
cmake -S "$source/examples/host" -B "$work/host" -DCMAKE_PREFIX_PATH="$work/root/usr" >/dev/null
cmake --build "$work/host" -j2 >/dev/null
"$work/host/morvane-host" "$sample" Customers "$work/customers.txt"
[ -s "$work/customers.txt" ]
echo "deb test passed"
