#!/usr/bin/env bash
# install_test.sh BUILD_DIR SOURCE_DIR SAMPLE_DB PLUGIN_TEST
# Installs the build into a scratch prefix and uses it the way a host does.
set -euo pipefail
build=$1 source=$2 sample=$3 plugin_test=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >"$work/install.log"

libdir=$(cd "$prefix" && dirname "$(find . -name 'libMorvane.so.0' | head -n 1)")
plugindir=$(cd "$prefix" && dirname "$(find . -path '*/morvane/libMorvanePlugin.so')")
echo "libraries in $libdir, control plugins in $plugindir"
for file in "$libdir/libMorvane.so" "$libdir/libQuintelControl.so" "$libdir/libMorvanePropertyBag.so" \
    "$plugindir/libQuintelPlugin.so" "$plugindir/../designer/libmorvane_designer.so" \
    "$libdir/cmake/Morvane/MorvaneConfig.cmake" "$libdir/pkgconfig/morvane.pc" \
    "$libdir/pkgconfig/quintel.pc" bin/morvane-batch bin/morvane-db bin/MorvaneDemo \
    include/morvane/export/control/ui/Morvane.h include/morvane/textbox/Quintel.h \
    share/morvane/sample/sample.sqlite; do
    [ -e "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done

# SONAME and hidden symbols: the library carries its major version, and the export
# session (not public) is not visible.
headers=$(objdump -p "$prefix/$libdir/libMorvane.so")
grep -q 'SONAME *libMorvane.so.0$' <<<"$headers" || { echo "no SONAME libMorvane.so.0"; exit 1; }
symbols=$(nm -DC --defined-only "$prefix/$libdir/libMorvane.so")
if grep -q 'morvane::ExportSession::' <<<"$symbols"; then
    echo "libMorvane.so exports internal classes"; exit 1
fi
grep -q 'morvane::Morvane::Execute()' <<<"$symbols" || { echo "Execute is not exported"; exit 1; }

# The example host through find_package(Morvane).
cmake -S "$source/examples/host" -B "$work/host" -DCMAKE_PREFIX_PATH="$prefix" >"$work/host.log"
cmake --build "$work/host" -j2 >>"$work/host.log"
"$work/host/morvane-host" "$sample" Customers "$work/customers.txt"
lines=$(wc -l <"$work/customers.txt")
rows=$("$prefix/bin/morvane-db" "$sample" count Customers | tr -dc '0-9')
[ "$lines" -eq "$rows" ] || { echo "exported $lines lines for $rows rows"; exit 1; }

# The same host through pkg-config (its source needs no moc).
export PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig"
g++ -std=c++17 -fPIC "$source/examples/host/main.cpp" -o "$work/host-pc" \
    $(pkg-config --cflags --libs morvane quintel) -Wl,-rpath,"$prefix/$libdir"
"$work/host-pc" "$sample" Customers "$work/customers-pc.txt"
cmp "$work/customers.txt" "$work/customers-pc.txt"

# The installed plugins, loaded as hosts and Qt Designer load them.
MORVANE_CONTROL_PLUGIN="$prefix/$plugindir/libMorvanePlugin.so" \
    MORVANE_DESIGNER_PLUGIN="$prefix/$plugindir/../designer/libmorvane_designer.so" \
    "$plugin_test" --gtest_filter='*Plugin*' >"$work/plugins.log" || {
    cat "$work/plugins.log"; exit 1; }

# The installed demo finds its plugin and its sample data.
"$prefix/bin/MorvaneDemo" --check
echo "install test passed"
