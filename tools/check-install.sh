#!/usr/bin/env bash
# Checks the installed program's tree: the layout the Filesystem Hierarchy Standard and the
# freedesktop.org specifications expect, the menu entry, the metainfo, the manual page, the udev rule
# and the systemd user unit.
#
#   tools/check-install.sh BUILD_DIR        installs BUILD_DIR into a DESTDIR and checks that tree
#   tools/check-install.sh --deb FILE.deb   checks the Debian package: its fields, its postinst and
#                                           the tree it unpacks
#
# Needs desktop-file-validate, appstreamcli and man (tools/install-deps.sh installs them);
# systemd-analyze, when present, also checks the user unit.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

for tool in desktop-file-validate appstreamcli man; do
    if ! command -v "$tool" >/dev/null; then
        echo "check-install: $tool is missing; run tools/install-deps.sh" >&2
        exit 1
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/korvix-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
dest="$work/root"

if [ "${1:-}" = "--deb" ]; then
    deb=${2:?"usage: $0 --deb FILE.deb"}
    prefix=/usr
    version=$(dpkg-deb --field "$deb" Version)
    dpkg-deb -x "$deb" "$dest"
    dpkg-deb -e "$deb" "$work/control"

    [ "$(dpkg-deb --field "$deb" Package)" = korvix ] || fail "the package is not named korvix"
    depends=$(dpkg-deb --field "$deb" Depends)
    names=$(tr ',|' '\n' <<<"$depends" | sed 's/^ *//; s/[ (].*//')
    # dpkg-shlibdeps finds the libraries; the platform plugins are named by hand.
    for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libhidapi-hidraw0 \
        libpng16-16 qt6-qpa-plugins; do
        grep -qxF "$lib" <<<"$names" || fail "Depends lacks $lib: $depends"
    done
    [ -x "$work/control/postinst" ] || fail "the package has no executable postinst"
    sh -n "$work/control/postinst" || fail "postinst is not a valid shell script"
    # Removing leaves nothing behind: no conffiles and no postrm keep the package in "rc" state.
    for kept in conffiles postrm; do
        [ ! -e "$work/control/$kept" ] || fail "the package has a $kept, so apt remove leaves it half there"
    done
    [ -s "$work/control/md5sums" ] || fail "the package has no md5sums"
    # What dpkg installs outside /usr (nothing) and in the tree below.
    if find "$dest" -mindepth 1 -maxdepth 1 ! -name usr | grep -q .; then
        fail "the package installs outside /usr: $(find "$dest" -mindepth 1 -maxdepth 1 ! -name usr)"
    fi
else
    build=$(cd "${1:?"usage: $0 BUILD_DIR | --deb FILE.deb"}" && pwd)
    prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
    DESTDIR="$dest" cmake --install "$build" >"$work/install.log"
fi

tree="$dest$prefix"
program="$tree/bin/korvix"
guide="$tree/share/korvix"
desktop="$tree/share/applications/korvix.desktop"
metainfo="$tree/share/metainfo/com.lumivale.korvix.metainfo.xml"
manpage="$tree/share/man/man1/korvix.1.gz"
rule="$tree/lib/udev/rules.d/70-korvix.rules"
unit="$tree/lib/systemd/user/korvix-record.service"

# The tree holds exactly these files: nothing missing, nothing stray (such as bin/info, which below
# /usr would sit beside the system's "info" program).
{
    echo "$program"
    (cd "$root/info" && find . -type f | sed "s|^\.|$guide|")
    echo "$desktop"
    for size in 32 64 256; do echo "$tree/share/icons/hicolor/${size}x$size/apps/korvix.png"; done
    echo "$metainfo"
    echo "$manpage"
    echo "$rule"
    echo "$unit"
} | sort >"$work/expected"
find "$dest" -type f -o -type l | sort >"$work/found"
while read -r f; do fail "missing: ${f#"$dest"}"; done < <(comm -23 "$work/expected" "$work/found")
while read -r f; do fail "not expected: ${f#"$dest"}"; done < <(comm -13 "$work/expected" "$work/found")

# The program is executable, everything else is plain readable data.
[ -x "$program" ] || fail "bin/korvix is not executable"
while read -r f; do
    [ "$f" = "$program" ] || fail "mode $(stat -c %a "$f") of ${f#"$dest"} (should be 644)"
done < <(find "$dest" -type f ! -perm 644)

# The installed program runs and is the version that was built.
if [ -x "$program" ]; then
    out=$("$program" --version) || fail "korvix --version failed"
    [ "$out" = "korvix $version" ] || fail "korvix --version prints \"$out\", not \"korvix $version\""
fi

# "Contents" finds the guide in ../share/korvix relative to the program's folder; every picture the
# guide shows is installed with it.
[ -f "$tree/bin/../share/korvix/KORVIX.html" ] || fail "no guide at bin/../share/korvix/KORVIX.html"
if [ -f "$guide/KORVIX.html" ]; then
    while read -r src; do
        [ -f "$guide/$src" ] || fail "the guide shows $src, which is not installed"
    done < <(grep -o '<img[^>]*src="[^"]*"' "$guide/KORVIX.html" | sed 's/.*src="\([^"]*\)"/\1/')
fi

# The icons are PNG files of the size their folder names (width and height from the IHDR chunk).
for size in 32 64 256; do
    icon="$tree/share/icons/hicolor/${size}x$size/apps/korvix.png"
    [ -f "$icon" ] || continue
    read -r w0 w1 w2 w3 h0 h1 h2 h3 < <(od -An -tu1 -j16 -N8 "$icon")
    w=$(((w0 << 24) | (w1 << 16) | (w2 << 8) | w3))
    h=$(((h0 << 24) | (h1 << 16) | (h2 << 8) | h3))
    [ "$w"x"$h" = "$size"x"$size" ] || fail "icon ${size}x$size is ${w}x$h"
done

# The menu entry: valid, and its program and icon are the installed ones.
if [ -f "$desktop" ]; then
    # Hints count too: they are what desktop menus and linters complain about.
    out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
    exec_line=$(sed -n 's/^Exec=//p' "$desktop")
    [ -x "$tree/bin/${exec_line%% *}" ] || fail "the menu entry runs \"$exec_line\", which is not installed in bin"
    icon_name=$(sed -n 's/^Icon=//p' "$desktop")
    [ -f "$tree/share/icons/hicolor/256x256/apps/$icon_name.png" ] || fail "no icon named \"$icon_name\""
fi

# The metainfo: valid (without the network), and it names the installed menu entry and program.
if [ -f "$metainfo" ]; then
    # Not even an informational remark: software centres show what it points at.
    out=$(appstreamcli validate --no-net "$metainfo" 2>&1) && ! grep -q '^[EWI]: ' <<<"$out" ||
        fail "appstreamcli validate: $out"
    launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
    [ -f "$tree/share/applications/$launchable" ] || fail "the metainfo launches \"$launchable\", which is not installed"
    binary=$(sed -n 's|.*<binary>\(.*\)</binary>.*|\1|p' "$metainfo")
    [ -x "$tree/bin/$binary" ] || fail "the metainfo provides the program \"$binary\", which is not installed"
    grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release $version"
fi

# The manual page renders without a warning and documents every option that the program lists.
if [ -f "$manpage" ]; then
    out=$(MANWIDTH=80 man --warnings -l "$manpage" 2>&1 >/dev/null) && [ -z "$out" ] || fail "man --warnings: $out"
    MANWIDTH=200 man -l "$manpage" 2>/dev/null | col -b >"$work/man.txt"
    grep -q "korvix $version" "$work/man.txt" || fail "the manual page is not the one of version $version"
    # Options (--name) and the simulated recorder's items (name=) of a help text, each once.
    listed() { grep -oE -- '(--[a-z][a-z0-9-]*|^ +[a-z][a-z0-9]*=)' | sed 's/^ *//' | sort -u; }
    # The text of one section of the manual page (from its heading to the next one).
    section() { awk -v h="$1" '/^[A-Z]/ { on = ($0 == h) } on' "$work/man.txt"; }
    if [ -x "$program" ]; then
        "$program" --help | listed >"$work/options"
        while read -r option; do
            grep -qF -- "$option" "$work/man.txt" || fail "the manual page does not document \"$option\" of korvix --help"
        done <"$work/options"
        # Each command's own options are in its own section, once the program has the command.
        for command in record convert calibrate; do
            heading="KORVIX ${command^^}"
            [ -n "$(section "$heading")" ] || fail "the manual page has no section $heading"
            if "$program" "$command" --help >"$work/help-$command" 2>/dev/null; then
                while read -r option; do
                    section "$heading" | grep -qF -- "$option" ||
                        fail "the section $heading does not document \"$option\" of korvix $command --help"
                done < <(listed <"$work/help-$command")
            else
                echo "note: korvix $command --help is not there yet; only the section's presence is checked"
            fi
        done
    fi
fi

# The udev rule opens the recorder (vendor 1209, product 4b52) to the logged-in user.
if [ -f "$rule" ]; then
    line=$(grep -v '^#' "$rule" | grep -F 'ATTRS{idVendor}=="1209"' || true)
    grep -qF 'ATTRS{idProduct}=="4b52"' <<<"$line" || fail "the udev rule does not match the recorder's ids"
    grep -qF 'TAG+="uaccess"' <<<"$line" || fail "the udev rule lacks the uaccess tag"
    grep -qF 'KERNEL=="hidraw*"' <<<"$line" || fail "the udev rule is not for the hidraw node"
fi

# The user unit runs the installed program's "record" and is not enabled by the installation.
if [ -f "$unit" ]; then
    exec_start=$(sed -n 's/^ExecStart=//p' "$unit")
    [ "${exec_start%% *}" = "$prefix/bin/korvix" ] || fail "the user unit runs \"${exec_start%% *}\", not $prefix/bin/korvix"
    grep -q "^ExecStart=[^ ]* record " "$unit" || fail "the user unit does not run korvix record"
    if find "$dest" -path '*.wants*' | grep -q .; then fail "the installation enables a unit"; fi
    if command -v systemd-analyze >/dev/null; then
        # Checked as if installed: the command points into the DESTDIR tree.
        mkdir -m 700 "$work/runtime"
        sed "s|^ExecStart=$prefix/bin/korvix|ExecStart=$program|" "$unit" >"$work/runtime/korvix-record.service"
        out=$(XDG_RUNTIME_DIR="$work/runtime" systemd-analyze verify --man=no --user \
            "$work/runtime/korvix-record.service" 2>&1) && [ -z "$out" ] || fail "systemd-analyze verify: $out"
    else
        echo "note: systemd-analyze is not installed; the user unit's syntax is not checked"
    fi
fi

if [ "$failures" -gt 0 ]; then
    echo "check-install: $failures problem(s) in the tree below $prefix" >&2
    exit 1
fi
echo "check-install: the tree below $prefix is complete and valid"
