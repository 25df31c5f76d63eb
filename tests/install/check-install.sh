#!/usr/bin/env bash
# Installs a build tree into a temporary prefix and checks what a desktop and
# a packager expect of it:
#   check-install.sh BUILD_DIR SOURCE_DIR [CMAKE]
# The tree is staged with DESTDIR under /usr/local and then moved elsewhere,
# so everything in it must find everything else relative to itself.
set -uo pipefail
build=$1
source=$2
cmake=${3:-cmake}
version=$(sed -n 's/^project(olvane VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
work=$(mktemp -d "${TMPDIR:-/tmp}/olvane-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
need() { command -v "$1" >/dev/null || { echo "SKIP: $1 is missing (scripts/setup-deps installs it)"; exit 77; }; }
for tool in desktop-file-validate appstreamcli update-mime-database xdg-mime man readelf ldd; do need "$tool"; done

# Install (DESTDIR honoured), then move the tree away from where it was staged.
if ! DESTDIR="$work/stage" "$cmake" --install "$build" --prefix /usr/local >"$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  fail "cmake --install failed"
  exit 1
fi
mv "$work/stage/usr/local" "$work/prefix"
p=$work/prefix
libdir=$(cd "$p" && find lib* -type d -name olvane 2>/dev/null | head -n1)

# The files of the tree.
for f in bin/olvane bin/olvane-probe bin/olvane-export bin/olvane-mkcapture bin/olvane-mkskin bin/olvane-preview \
         share/olvane/PlayScript.tvsf share/olvane/PlayDemo1.zeph share/olvane/PlayDemo2.zeph \
         share/olvane/PlayDemo3.zeph share/olvane/help/Olvane.html \
         share/applications/org.kalvo.olvane.desktop share/metainfo/org.kalvo.olvane.metainfo.xml \
         share/mime/packages/olvane.xml share/icons/hicolor/scalable/apps/olvane.svg; do
  [[ -s $p/$f ]] || fail "$f is not installed"
done
for size in 16 22 24 32 48 64 128 256; do
  icon=$p/share/icons/hicolor/${size}x${size}/apps/olvane.png
  # The PNG header's width and height (bytes 16..23) must be the folder's size.
  dims=$(od -An -tu1 -j16 -N8 "$icon" 2>/dev/null | tr -s ' ' | sed 's/^ //')
  want="0 0 $((size >> 8)) $((size & 255)) 0 0 $((size >> 8)) $((size & 255))"
  [[ $dims == "$want" ]] || fail "icon ${size}x${size}: header says '$dims'"
done

# Libraries: versioned files with their SONAME link, no development link.
for lib in platform sintra glimra pravex; do
  real=$p/$libdir/lib$lib.so.$version
  [[ -f $real ]] || { fail "lib$lib.so.$version is not in $libdir"; continue; }
  soname=$(readelf -d "$real" | sed -n 's/.*Library soname: \[\(.*\)\]/\1/p')
  [[ $soname == lib$lib.so.* && -L $p/$libdir/$soname ]] || fail "lib$lib: SONAME '$soname' without its link"
  [[ ! -e $p/$libdir/lib$lib.so ]] || fail "lib$lib.so (a development link) is installed"
done

# Nothing installed may point into the build tree; every library of ours resolves inside the prefix.
for f in "$p"/bin/* "$p/$libdir"/*.so.*; do
  if readelf -d "$f" | grep -E 'R(UN)?PATH' | grep -qF "$build"; then fail "$f names the build tree"; fi
done
for program in "$p"/bin/*; do
  for lib in platform sintra glimra pravex; do
    where=$(env -u LD_LIBRARY_PATH ldd "$program" | sed -n "s/.*lib$lib\.so[.0-9]* => \([^ ]*\).*/\1/p")
    [[ -z $where || $(realpath "$where") == "$(realpath "$p/$libdir")/"* ]] ||
      fail "$(basename "$program") loads lib$lib from $where"
  done
done

# Every program tells its version from the prefix.
run() { env -u LD_LIBRARY_PATH -u SDL_VIDEODRIVER -u DISPLAY -u WAYLAND_DISPLAY "$@"; }
for program in olvane-probe olvane-export olvane-mkcapture olvane-mkskin olvane-preview olvane; do
  out=$(run "$p/bin/$program" --version 2>&1)
  code=$?
  [[ $code == 0 && $out == "$program $version" ]] || fail "$program --version: exit $code, '$out'"
  run "$p/bin/$program" --help >/dev/null 2>&1 || fail "$program --help fails"
done

# With no argument the installed player plays the installed demo: it is still up
# when the time limit ends it (124), and never says the script is missing.
out=$(cd "$work" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 5 "$p/bin/olvane" 2>&1)
code=$?
[[ $code == 124 && $out != *"must be entered"* ]] || fail "installed olvane without an argument: $code $out"

# Desktop entry and metadata pass their validators.
desktop-file-validate "$p/share/applications/org.kalvo.olvane.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$p/share/metainfo/org.kalvo.olvane.metainfo.xml" >"$work/as.log" 2>&1 \
  || { cat "$work/as.log" >&2; fail "appstreamcli validate"; }
grep -q '^Exec=olvane %f$' "$p/share/applications/org.kalvo.olvane.desktop" || fail "desktop entry: Exec"

# File types: a demo capture renamed to .bin is known by its signature alone.
export XDG_DATA_HOME=$work/empty-data XDG_DATA_DIRS=$p/share XDG_CONFIG_HOME=$work/empty-config
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"
update-mime-database "$p/share/mime" || fail "update-mime-database"
cp "$p/share/olvane/PlayDemo1.zeph" "$work/demo.bin"
cp "$p/share/olvane/PlayScript.tvsf" "$work/script.tvsf"
for kind in "demo.bin video/x-kalvo-capture" "script.tvsf application/x-kalvo-play-script"; do
  set -- $kind
  got=$(run xdg-mime query filetype "$work/$1" 2>&1)
  [[ $got == "$2" ]] || fail "xdg-mime names $1 '$got', not $2"
done

# Every manual page renders without a warning.
pages=$(ls "$p"/share/man/man1/*.1 2>/dev/null | wc -l)
[[ $pages -ge 5 ]] || fail "only $pages manual pages installed"
for page in "$p"/share/man/man1/*.1; do
  name=$(basename "$page" .1)
  if ! MANWIDTH=80 man --warnings -E UTF-8 -l "$page" >"$work/page.txt" 2>"$work/page.err" || [[ -s $work/page.err ]]; then
    cat "$work/page.err" >&2
    fail "man -l $name"
  fi
  grep -q "EXIT STATUS" "$work/page.txt" || fail "$name: no exit codes"
  grep -q "^NAME" "$work/page.txt" && grep -q "$name" "$work/page.txt" || fail "$name: page does not render"
done

if [[ $failures -gt 0 ]]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "installed tree checked: $p"
