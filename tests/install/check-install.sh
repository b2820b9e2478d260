#!/bin/sh
# Checks what a desktop needs of an installed Zelvaro.
#   check-install.sh install <build dir> <application id> <source dir>
#     installs into a temporary prefix and checks the files, the desktop
#     entry, the AppStream metainfo and the file type (by name and by magic);
#   check-install.sh package <build dir> <application id>
#     makes the Debian package and checks its files and dependencies.
# A check whose tool is missing is skipped (exit 77) after the others ran.
set -eu

mode=$1
build=$(cd "$2" && pwd)
id=$3
type=application/x-zelvaro-chart
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
skipped=""

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

skip() {
    echo "SKIPPED: $*"
    skipped="$skipped $1"
}

have() {
    command -v "$1" > /dev/null 2>&1
}

expected_files() {
    echo bin/zelvaro
    echo bin/zelvaro-convert
    echo share/man/man1/zelvaro-convert.1
    echo "share/applications/$id.desktop"
    echo "share/metainfo/$id.metainfo.xml"
    echo "share/mime/packages/$id.xml"
    for size in 16 22 24 32 48 64 128 256; do
        echo "share/icons/hicolor/${size}x$size/apps/$id.png"
    done
    for language in de en; do
        echo "share/zelvaro/translations/zelvaro_$language.qm"
    done
}

# Width x height from a PNG's header.
png_size() {
    od -An -tu1 -j16 -N8 "$1" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }'
}

compare_lists() {
    expected_files | sort > "$work/expected"
    sort > "$work/actual"
    diff -u "$work/expected" "$work/actual" || fail "$1 does not hold exactly the expected files"
}

check_install() {
    source=$(cd "$1" && pwd)
    prefix="$work/root/usr"
    cmake --install "$build" --prefix "$prefix" > /dev/null
    (cd "$prefix" && find . -type f | sed 's|^\./||') | compare_lists "the installed tree"

    for size in 16 22 24 32 48 64 128 256; do
        actual=$(png_size "$prefix/share/icons/hicolor/${size}x$size/apps/$id.png")
        [ "$actual" = "${size}x$size" ] || fail "the ${size}px icon is $actual"
    done

    for language in de en; do
        magic=$(od -An -tx1 -N16 "$prefix/share/zelvaro/translations/zelvaro_$language.qm" | tr -d ' \n')
        [ "$magic" = 3cb86418caef9c95cd211cbf60a1bddd ] || fail "zelvaro_$language.qm is not a compiled translation"
    done

    desktop="$prefix/share/applications/$id.desktop"
    grep -qx 'Exec=zelvaro %f' "$desktop" || fail "the desktop entry does not start zelvaro with a file"
    grep -qx "Icon=$id" "$desktop" || fail "the desktop entry does not name the icon $id"
    grep -qx "MimeType=$type;" "$desktop" || fail "the desktop entry does not open $type"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$prefix/share/metainfo/$id.metainfo.xml" ||
        fail "the metainfo does not launch $id.desktop"

    if have desktop-file-validate; then
        desktop-file-validate "$desktop" || fail "desktop-file-validate"
    else
        skip desktop-file-validate "not installed (Debian package desktop-file-utils)"
    fi
    if have appstreamcli; then
        appstreamcli validate-tree --no-net "$work/root" || fail "appstreamcli validate-tree"
    else
        skip appstreamcli "not installed (Debian package appstream)"
    fi

    # xdg-mime outside a desktop session asks the shared-mime-info database
    # through mimetype (Debian package libfile-mimeinfo-perl).
    if have update-mime-database && have xdg-mime && have mimetype; then
        mkdir -p "$work/data/mime/packages"
        cp "$prefix/share/mime/packages/$id.xml" "$work/data/mime/packages/"
        update-mime-database "$work/data/mime" > /dev/null 2>&1
        cp "$source/demo.vrk" "$work/chart.bin"
        : > "$work/plan.vrk"
        for file in chart.bin plan.vrk; do
            actual=$(cd "$work" && env -u XDG_CURRENT_DESKTOP -u KDE_FULL_SESSION -u GNOME_DESKTOP_SESSION_ID \
                     -u DESKTOP_SESSION XDG_DATA_HOME="$work/data" XDG_DATA_DIRS=/usr/share \
                     xdg-mime query filetype "$file")
            [ "$actual" = "$type" ] || fail "xdg-mime calls $file $actual"
        done
    else
        skip xdg-mime "needs update-mime-database, xdg-mime and mimetype (shared-mime-info, xdg-utils, libfile-mimeinfo-perl)"
    fi
}

check_package() {
    have dpkg-deb && have dpkg-shlibdeps || { echo "SKIPPED: cpack -G DEB needs dpkg-deb and dpkg-shlibdeps (dpkg-dev)"; exit 77; }
    (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" > "$work/cpack.log" 2>&1) ||
        { cat "$work/cpack.log"; fail "cpack -G DEB"; }
    deb=$(ls "$work"/*.deb)
    dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/||' | compare_lists "the package"
    depends=$(dpkg-deb -f "$deb" Depends)
    for package in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins; do
        echo "$depends" | grep -q "$package" || fail "the package does not depend on $package: $depends"
    done
    recommends=$(dpkg-deb -f "$deb" Recommends)
    echo "$recommends" | grep -q qt6-translations-l10n ||
        fail "the package does not recommend the toolkit's translations: $recommends"
}

case "$mode" in
install) check_install "$4" ;;
package) check_package ;;
*) fail "unknown mode $mode" ;;
esac

[ -z "$skipped" ] || exit 77
echo "passed"
