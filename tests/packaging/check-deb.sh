#!/usr/bin/env bash
# Builds the .deb with CPack into <output folder> and checks that its dependencies were computed
# from the executables and that it carries the programs (the command line too) and their desktop integration.
#   check-deb.sh <build folder> <output folder> <app id> <step recorder id>
set -eu
build=$1 out=$2 app_id=$3 steps_id=$4

rm -rf "$out"
mkdir -p "$out"
if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log"
    exit 1
fi
deb=$(find "$out" -maxdepth 1 -name '*.deb')
echo "$(basename "$deb"): $(du -h "$deb" | cut -f1)"

failed=0
depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
# Libraries the programs link, found by dpkg-shlibdeps, and the plugin package named by hand.
for package in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6svg6 \
               libqcoro6core libplist3 'libicu[0-9]+' libxi6 qt6-image-formats-plugins; do
    if ! grep -Eq "(^|, )$package[^,]* *(\(|,|$)" <<<"$depends"; then
        echo "Depends lacks $package"
        failed=1
    fi
done

contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for path in ./usr/bin/quillmarch ./usr/bin/quillmarch-steps ./usr/bin/quillmarch-cli \
            "./usr/share/applications/$app_id.desktop" "./usr/share/applications/$steps_id.desktop" \
            "./usr/share/metainfo/$app_id.metainfo.xml" \
            "./usr/share/icons/hicolor/scalable/apps/$app_id.svg"; do
    if ! grep -qxF "$path" <<<"$contents"; then
        echo "the package lacks $path"
        failed=1
    fi
done
exit $failed
