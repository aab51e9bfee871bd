#!/usr/bin/env bash
# The installed program, as a user gets it:
#   layout_test.sh install BUILD SOURCE VERSION  cmake --install into a scratch prefix
#   layout_test.sh package BUILD SOURCE VERSION  cpack -G DEB, unpacked with dpkg -x
# Either way the same files must land in the same places, the menu entry and
# the daemon's description must be valid, the man pages must render and name
# every switch, command, settings key and environment variable the programs
# know (taken from the programs and the sources, not listed here), the
# example settings file must show every option at its real default, and the
# installed programs must answer without a display.
set -u
mode=$1 build=$2 source=$3 version=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { # description, expected, actual
    [ "$2" = "$3" ] || fail "$1"$'\n'"  expected: $2"$'\n'"  actual:   $3"
}

case $mode in
install)
    cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1 ||
        { cat "$work/install.log"; exit 1; }
    root=$work/prefix
    ;;
package)
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log"; exit 1; }
    deb=$(ls "$work"/package/*.deb)
    check "package file name" "zavrio-screensaver_${version}_$(dpkg --print-architecture).deb" "$(basename "$deb")"
    check "package name" zavrio-screensaver "$(dpkg-deb -f "$deb" Package)"
    check "package version" "$version" "$(dpkg-deb -f "$deb" Version)"
    # Library dependencies come from dpkg-shlibdeps: the player and the
    # window libraries must be among them.
    depends=$(dpkg-deb -f "$deb" Depends)
    for library in libmpv2 libqt6widgets6 libxml2 libcurl4 libpulse0; do
        [[ $depends == *"$library "* || $depends == *"$library," || $depends == *"$library" ]] ||
            fail "Depends does not name $library: $depends"
    done
    others=$(dpkg-deb -c "$deb" | awk '$2 != "root/root"')
    check "every file of the package belongs to root" "" "$others"
    outside=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '^\./usr/' | grep -vx '\./')
    check "everything under /usr" "" "$outside"
    # What "apt install ./file.deb" decides, without installing.
    if command -v apt-get >/dev/null; then
        apt-get install -s "$deb" >"$work/apt.log" 2>&1 ||
            fail "apt-get cannot install the package: $(tail -5 "$work/apt.log")"
    fi
    dpkg -x "$deb" "$work/root"
    root=$work/root/usr
    ;;
*)
    echo "usage: $0 install|package BUILD SOURCE VERSION" >&2
    exit 2
    ;;
esac

# --- The files and their modes.
expected=$(
    {
        echo "755 bin/zavrio-feeds"
        echo "755 bin/zavrio-screensaver"
        echo "644 share/applications/zavrio-screensaver.desktop"
        for size in 16 22 32 48 64 128 256; do
            echo "644 share/icons/hicolor/${size}x${size}/apps/zavrio-screensaver.png"
        done
        echo "644 share/icons/hicolor/scalable/apps/zavrio-screensaver.svg"
        echo "644 share/man/man1/zavrio-feeds.1"
        echo "644 share/man/man1/zavrio-screensaver.1"
        echo "644 share/xscreensaver/config/zavrio-screensaver.xml"
        echo "644 share/zavrio-screensaver/zavriofeeds.ini"
    } | sort -k2
)
actual=$(cd "$root" && find . -type f -printf '%m %P\n' | sort -k2)
check "installed files" "$expected" "$actual"

# Each PNG is the size of the folder it is in.
for png in "$root"/share/icons/hicolor/*x*/apps/zavrio-screensaver.png; do
    folder=$(basename "$(dirname "$(dirname "$png")")")
    size=$(python3 -c 'import struct, sys
data = open(sys.argv[1], "rb").read(24)
assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
print("%dx%d" % struct.unpack(">II", data[16:24]))' "$png")
    check "icon size in $folder" "$folder" "$size"
done

# --- The menu entry.
desktop=$root/share/applications/zavrio-screensaver.desktop
out=$(desktop-file-validate "$desktop" 2>&1)
check "desktop-file-validate" "0 " "$? $out"
entry() { sed -n "s/^$1=//p" "$desktop"; }
check "menu name" "Zavrio Video Screensaver" "$(entry Name)"
program=$(entry Exec | cut -d' ' -f1)
[ -x "$root/bin/$program" ] || fail "Exec names $program, which is not installed in bin/"
icon=$(entry Icon)
[ -f "$root/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon $icon is not in the icon theme"
[[ ";$(entry Categories)" == *";Settings;"* ]] || fail "the menu entry is not under Settings"

# --- The screensaver daemon's description of us.
xml=$root/share/xscreensaver/config/zavrio-screensaver.xml
xmllint --noout "$xml" || fail "the daemon's description is not well-formed XML"
check "daemon description names the program" zavrio-screensaver "$(xmllint --xpath 'string(/screensaver/@name)' "$xml")"
check "daemon description label" "Zavrio Video Screensaver" "$(xmllint --xpath 'string(/screensaver/@_label)' "$xml")"
check "daemon command" "--root" "$(xmllint --xpath 'string(/screensaver/command/@arg)' "$xml")"
[ -n "$(xmllint --xpath 'normalize-space(/screensaver/_description)' "$xml")" ] || fail "no description"

# --- The installed programs answer without a display.
nodisplay() { env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$work/run" HOME="$work/home" \
    XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" XDG_DATA_HOME="$work/data" "$@"; }
saver=$root/bin/zavrio-screensaver tool=$root/bin/zavrio-feeds
check "--version" "zavrio-screensaver $version" "$(nodisplay "$saver" --version)"
saver_help=$(nodisplay "$saver" --help)
check "--help exit status" 0 $?
tool_help=$(nodisplay "$tool" --help)
check "zavrio-feeds --help exit status" 0 $?
defaults=$(nodisplay "$tool" settings --ini "$work/none.ini")
check "settings without a display" 0 $?
printf '[set]\r\n' >"$work/set.ini"
nodisplay "$tool" set Loop=1 --ini "$work/set.ini"
check "set without a display" 0 $?
nodisplay "$tool" parse "$source/tests/data/rss/videos-rss20.xml" >/dev/null
check "parse without a display" 0 $?
echo 'a clip' | nodisplay "$tool" hint >/dev/null
check "hint without a display" 0 $?
nodisplay "$tool" cache >/dev/null
check "cache without a display" 0 $?
nodisplay "$tool" install-status >/dev/null
check "install-status without a display" 0 $?
# Nothing listens on port 9 of the loopback: a failed download, not a crash.
nodisplay "$tool" fetch http://127.0.0.1:9/feed.xml >/dev/null 2>&1
check "fetch without a display" 1 $?

# --- The man pages: rendered by man, without hyphenation or line breaks
# that could split a name.
render() { MANWIDTH=2000 man --nh --nj -l "$1" 2>"$work/man.err" | col -b; }
saver_man=$(render "$root/share/man/man1/zavrio-screensaver.1")
[ -s "$work/man.err" ] && fail "man warns about zavrio-screensaver.1: $(cat "$work/man.err")"
feeds_man=$(render "$root/share/man/man1/zavrio-feeds.1")
[ -s "$work/man.err" ] && fail "man warns about zavrio-feeds.1: $(cat "$work/man.err")"
[[ $saver_man == *"zavrio-screensaver - "* ]] || fail "zavrio-screensaver(1) has no NAME line"
[[ $feeds_man == *"zavrio-feeds - "* ]] || fail "zavrio-feeds(1) has no NAME line"
names() { # page name, page text, words...
    local page=$1 text=$2 word
    shift 2
    for word in "$@"; do
        grep -qE -- "(^|[^[:alnum:]_/-])$word([^[:alnum:]_-]|$)" <<<"$text" || fail "$page does not name $word"
    done
}

# Every switch the program's usage text lists.
switches=$(grep -E '^  [-/]' <<<"$saver_help" | grep -oE '(^|[ ,])(--?[a-z][a-z-]*|/[a-z])' | tr -d ' ,' | sort -u)
for required in /s /c /p /a --root --window-id -h --help --version; do
    grep -qx -- "$required" <<<"$switches" || fail "--help does not list $required"
done
names "zavrio-screensaver(1)" "$saver_man" $switches
# Every command and option zavrio-feeds lists.
commands=$(sed -n 's/^  zavrio-feeds \([a-z-]*\).*/\1/p' <<<"$tool_help")
options=$(grep -oE -- '--[a-z-]+' <<<"$tool_help" | sort -u)
[ -n "$commands" ] || fail "no commands in zavrio-feeds --help"
names "zavrio-feeds(1)" "$feeds_man" $commands $options --help

# Every settings key: the thirteen options as the tool reads them, and each
# key the programs read from the settings file elsewhere.
set_keys=$(python3 -c 'import json, sys
print("\n".join(k for k in json.load(sys.stdin) if k not in ("file", "catalogue")))' <<<"$defaults")
check "thirteen options" 13 "$(wc -l <<<"$set_keys")"
other_keys=$(grep -rhoE 'SettingsFile->Read(String|Integer|Bool)\("[a-z]+", "[A-Za-z]+"' \
    "$source"/{app,config,playback,settings,tools} | sed -E 's/.*\("([a-z]+)", "([A-Za-z]+)"/\1 \2/' | sort -u)
[ -n "$other_keys" ] || fail "no settings keys found in the sources"
sections=$(cut -d' ' -f1 <<<"$other_keys" | sort -u)
extra_keys=$(cut -d' ' -f2 <<<"$other_keys")
for page in "zavrio-screensaver(1)" "zavrio-feeds(1)"; do
    text=$saver_man
    [ "$page" = "zavrio-feeds(1)" ] && text=$feeds_man
    names "$page" "$text" $set_keys $extra_keys
    for section in set feeds $sections; do
        [[ $text == *"[$section]"* ]] || fail "$page does not name the section [$section]"
    done
done

# Every environment variable the programs read: std::getenv("NAME"), or
# env("NAME") through a helper of their own.
env_of() { grep -rhoE '\b(get)?env\("[A-Z_]+"\)' "$@" | sed -E 's/.*\("([A-Z_]+)"\)/\1/' | sort -u; }
saver_env=$(env_of "$source"/{app,config,playback,platform,settings})
for name in DISPLAY XSCREENSAVER_WINDOW XDG_CONFIG_HOME; do
    grep -qx "$name" <<<"$saver_env" || fail "the search for environment variables did not find $name"
done
names "zavrio-screensaver(1)" "$saver_man" $saver_env
names "zavrio-feeds(1)" "$feeds_man" $(env_of "$source"/tools "$source"/settings)

# --- The example settings file: every option commented out at the default
# the programs really use, and a sample feed that works once uncommented.
example=$root/share/zavrio-screensaver/zavriofeeds.ini
as_read=$(nodisplay "$tool" settings --ini "$example")
strip_file() { python3 -c 'import json, sys
d = json.load(sys.stdin); d.pop("file"); print(json.dumps(d))'; }
check "the example changes nothing as installed" "$(strip_file <<<"$defaults")" "$(strip_file <<<"$as_read")"
sed -E 's/^;([A-Za-z][A-Za-z ]*=)/\1/' "$example" >"$work/uncommented.ini"
uncommented=$(nodisplay "$tool" settings --ini "$work/uncommented.ini")
options_of() { python3 -c 'import json, sys
d = json.load(sys.stdin); d.pop("file"); d.pop("catalogue"); print(json.dumps(d))'; }
check "the example's values are the defaults" "$(options_of <<<"$defaults")" "$(options_of <<<"$uncommented")"
sample=$(python3 -c 'import json, sys
print("\n".join(e["address"] for e in json.load(sys.stdin)["catalogue"]))' <<<"$uncommented")
check "one sample feed" 1 "$(grep -c . <<<"$sample")"
[[ $sample == http://* && $sample != *127.0.0.1* && $sample != *localhost* ]] ||
    fail "the sample feed is not a public http address: $sample"
for key in $extra_keys; do
    grep -q "^;$key=" "$example" || fail "the example does not show $key"
done

if [ $failures -ne 0 ]; then echo "$failures check(s) failed"; exit 1; fi
echo "the $mode layout passed every check"
