#!/bin/bash
# Builds the Debian package from a finished build and checks it the way a
# learner meets it: the desktop entry and the AppStream metadata validate,
# lintian finds no errors, and the installed program, run by an ordinary user
# with an empty home, keeps its settings and the learner's files in the XDG
# folders and nothing under /usr, across two starts, an upgrade and the
# package's removal. A read-only portable folder falls back to those folders.
#
#   scripts/check-package.sh [BUILD-DIR]      (as root; BUILD-DIR defaults to build)
#
# The package is installed inside a private mount namespace over throw-away
# layers of /usr and /var where the system allows it, so the machine is left
# as it was; elsewhere it is installed for real and removed at the end.
set -euo pipefail

deb_name=phrasewright
app_id=org.phrasewright.Phrasewright
learner_uid=65534 # nobody

fail() {
    echo "check-package: $*" >&2
    if [ -n "${work:-}" ]; then echo "check-package: the learner's files are kept in $work" >&2; fi
    exit 1
}

# --- the checks of the installed program (run after dpkg -i) -----------------

# Runs a command as the learner: not root, a clean environment, in a home of
# their own.
as_learner() {
    setpriv --reuid=$learner_uid --regid=$learner_uid --clear-groups \
        env -i -C "$home" HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 TMPDIR="$work/tmp" \
        XDG_RUNTIME_DIR="$work/runtime" "$@"
}

# Fails when the traced program opened, made, renamed or removed anything under /usr
# for writing.
check_nothing_written_under_usr() {
    local writes
    writes=$(grep -E '"/usr/' "$1" | grep -E -e '^[0-9]+ +open.*(O_WRONLY|O_RDWR|O_CREAT)' \
        -e '^[0-9]+ +(creat|mkdir|rename|unlink|rmdir|link|symlink|chmod|fchmodat|truncate)' ||
        true)
    [ -z "$writes" ] || fail "the program wrote under /usr: $writes"
    [ -z "$(find /usr/share/phrasewright "$(dirname "$module")" /usr/bin/phrasewright \
        -newer "$work/installed")" ] ||
        fail "files under /usr changed"
}

# One start of the window that closes itself, opening the learner's copy of the
# sample; then checks that it wrote nothing under /usr.
start_window() {
    as_learner XDG_CONFIG_HOME="$config_home" XDG_DATA_HOME="$data_home" \
        PW_AUTOCLOSE_MS=2500 PW_SHOWN_MARKER=1 PW_SCREENSHOT="$work/tmp/window.png" \
        xvfb-run -a -s "-screen 0 1280x1024x24" \
        strace -f -qq -e trace=%file -o "$work/tmp/trace" phrasewright Data/EverydayEnglish.xml \
        >"$work/window.out" 2>"$work/window.err" ||
        fail "the window did not start and close: $(cat "$work/window.err")"
    grep -q "PW_TITLE Everyday English - Phrasewright" "$work/window.out" ||
        fail "the sample did not open: $(cat "$work/window.out" "$work/window.err")"
    check_nothing_written_under_usr "$work/tmp/trace"
}

installed_checks() {
    local deb=$1
    work=$(mktemp -d)
    chmod 755 "$work"
    home=$work/home
    config_home=$home/settings
    data_home=$home/data
    mkdir -p "$home" "$work/tmp" "$work/runtime"
    chown $learner_uid:$learner_uid "$home" "$work/tmp" "$work/runtime"
    chmod 700 "$work/runtime"
    local settings=$config_home/phrasewright/phrasewright.ini
    local learner=$data_home/phrasewright
    local module
    local page=/usr/share/phrasewright/Resources/dictation.html

    echo "-- dpkg -i"
    dpkg -i "$deb" >/dev/null
    touch "$work/installed"
    [ -x /usr/bin/phrasewright ] || fail "no /usr/bin/phrasewright"
    module=$(dpkg -L "$deb_name" | grep '/phrasewright-webkit\.so$') || fail "no web engine module"
    case $module in /usr/lib/*/phrasewright/*) ;; *) fail "the web engine is in $module" ;; esac

    echo "-- headless, as a learner with an empty home"
    as_learner phrasewright --help >"$work/help.out"
    grep -q "Files (installed)" "$work/help.out" || fail "--help: $(cat "$work/help.out")"
    grep -q "$home/.config/phrasewright/" "$work/help.out" ||
        fail "--help names no settings folder in the home: $(cat "$work/help.out")"
    as_learner phrasewright --list /usr/share/phrasewright/Data/EverydayEnglish.xml \
        >"$work/list.out"
    grep -q "Good morning. How did you sleep?" "$work/list.out" ||
        fail "--list printed no records: $(cat "$work/list.out")"
    echo "   --list printed $(wc -l <"$work/list.out") lines"

    echo "-- first start of the window"
    start_window
    grep -q '^\[Window\]' "$settings" || fail "no window settings in $settings"
    for file in Tree.xml Log.xml Data/EverydayEnglish.xml Resources/ThemeList.xml; do
        [ -f "$learner/$file" ] || fail "no $file in $learner"
    done
    [ -s "$work/tmp/window.png" ] || fail "no picture of the window"
    echo "   settings in $settings; Tree.xml, Log.xml and the sample in $learner"

    echo "-- the learner's changes, an upgrade, a second start"
    sed -i 's|</Library>|\t<TreeItem path="Data/Mine.xml" name="Mine" state="0" />\n</Library>|' \
        "$learner/Tree.xml"
    sed -i 's/totalTime="0"/totalTime="3723000"/' "$learner/Log.xml"
    sed -i 's/^MainWidth=.*/MainWidth=700/' "$settings"
    # This start shows the questions in the exercise page, which needs the web
    # engine module and the page from the installation.
    if grep -q '^UseIE=' "$settings"; then
        sed -i 's/^UseIE=.*/UseIE=1/' "$settings"
    elif grep -q '^\[Phrasewright\]' "$settings"; then
        sed -i '/^\[Phrasewright\]/a UseIE=1' "$settings"
    else
        printf '[Phrasewright]\nUseIE=1\n' >>"$settings"
    fi
    dpkg -i "$deb" >/dev/null
    touch "$work/installed"
    start_window
    grep -E "open.*\"$module\".* = [0-9]+$" "$work/tmp/trace" >/dev/null ||
        fail "the web engine was not opened from $module: $(grep -F "$module" "$work/tmp/trace")"
    grep -E "\"$page\".* = 0$" "$work/tmp/trace" >/dev/null ||
        fail "the exercise page was not found at $page: $(grep -F dictation "$work/tmp/trace")"
    echo "   the exercise page from $page, in the web engine from $module"
    grep -q 'path="Data/Mine.xml"' "$learner/Tree.xml" || fail "the library lost the learner's entry"
    grep -q 'totalTime="3723000"' "$learner/Log.xml" || fail "the totals were replaced"
    grep -q '^MainWidth=700' "$settings" || fail "the window settings were replaced"

    echo "-- a portable folder that cannot be written"
    local portable=$work/portable
    mkdir "$portable"
    cp /usr/bin/phrasewright "$portable/"
    cp -r /usr/share/phrasewright/. "$portable/"
    as_learner "$portable/phrasewright" --help >"$work/ro.out" 2>"$work/ro.err"
    [ "$(grep -c "cannot be written" "$work/ro.err")" = 1 ] ||
        fail "no one-line notice: $(cat "$work/ro.err")"
    grep -q "Files (per-user" "$work/ro.out" || fail "read-only folder: $(cat "$work/ro.out")"
    [ ! -e "$portable/phrasewright.ini" ] || fail "settings written into the read-only folder"
    chown -R $learner_uid:$learner_uid "$portable"
    as_learner "$portable/phrasewright" --help >"$work/rw.out"
    grep -q "Files (portable)" "$work/rw.out" || fail "writable folder: $(cat "$work/rw.out")"

    echo "-- removal"
    local before
    before=$(cd "$home" && find . -type f ! -name '*.png' -exec sha1sum {} + | sort)
    dpkg -P "$deb_name" >/dev/null
    [ ! -e /usr/bin/phrasewright ] && [ ! -e /usr/share/phrasewright ] &&
        [ ! -e "$(dirname "$module")" ] ||
        fail "the package left files behind"
    [ "$(cd "$home" && find . -type f ! -name '*.png' -exec sha1sum {} + | sort)" = "$before" ] ||
        fail "removing the package changed the learner's files"
    echo "   the learner's $(echo "$before" | wc -l) files are still there"
    rm -rf "$work"
}

# Throw-away layers over /usr and /var inside this mount namespace, kept in a
# memory file system mounted on the empty folder $1.
overlay_system() {
    local layers=$1
    mount -t tmpfs tmpfs "$layers"
    for dir in usr var; do
        mkdir -p "$layers/$dir/upper" "$layers/$dir/work"
        mount -t overlay overlay \
            -o "lowerdir=/$dir,upperdir=$layers/$dir/upper,workdir=$layers/$dir/work" "/$dir"
    done
}

if [ "${1:-}" = "--inside" ]; then
    overlay_system "$3"
    installed_checks "$2"
    exit 0
fi

# --- the package and its files -------------------------------------------------

self=$(realpath "$0")
cd "$(dirname "$self")/.."
build=$(realpath "${1:-build}")
[ "$(id -u)" = 0 ] || fail "run as root (the package is installed to be checked)"

echo "== Debian package"
rm -rf "$build/packages"
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || fail "cpack failed: $(tail -n 30 "$build/cpack.log")"
deb=$(echo "$build"/packages/${deb_name}_*.deb)
[ -f "$deb" ] || fail "no package in $build/packages"
echo "$(basename "$deb"): $(du -h "$deb" | cut -f1)"
dpkg-deb -f "$deb" Depends

files=$(mktemp -d)
layers=$(mktemp -d)
trap 'rm -rf "$files"; rmdir "$layers"' EXIT
dpkg-deb -x "$deb" "$files"
desktop-file-validate "$files/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$files/usr/share/metainfo/$app_id.metainfo.xml"
echo "-- lintian"
lintian --fail-on error --display-info "$deb" || fail "lintian reports errors"

echo "== The installed package"
if unshare --mount --propagation private \
    bash -c "$(declare -f overlay_system); overlay_system '$layers'" 2>/dev/null; then
    unshare --mount --propagation private "$self" --inside "$deb" "$layers"
else
    echo "(no private mount namespace here: installing on the system, removed at the end)"
    trap 'rm -rf "$files"; rmdir "$layers"; dpkg -P "$deb_name" >/dev/null 2>&1 || true' EXIT
    installed_checks "$deb"
fi
echo "The package checks passed."
