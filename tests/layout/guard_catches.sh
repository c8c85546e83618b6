#!/usr/bin/env bash
# The guard fails on each kind of forbidden use planted in a logic file, and passes a file that
# only mentions them in comments and strings, or that lives in the editor's Qt form.
set -u
guard=$1
root=$(mktemp -d /tmp/plumet-guard-XXXXXX)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/game" "$root/sound" "$root/editor/ui"
status=0
plant() {  # plant FILE LINE: the guard must fail on it
  rm -rf "$root/game"/* "$root/sound"/* "$root/editor"/*.cpp
  printf '%s\n' "$2" > "$root/$1"
  if python3 "$guard" --root "$root" > "$root/out" 2>&1; then
    echo "FAIL: the guard let through $1: $2"
    status=1
  fi
}
plant game/a.cpp '#include <thread>'
plant game/a.cpp '#include <QWidget>'
plant sound/a.h '#include <vorbis/vorbisfile.h>'
plant sound/a.cpp '  std::this_thread::sleep_for(d);'
plant game/a.cpp '  int r = rand() % 6;'
plant editor/a.cpp '  std::FILE* f = std::fopen(p, "rb");'
plant sound/a.cpp '#include "platform/wuvorbis/wu_exports.h"'
plant game/a.cpp '  uint32_t t = plat::MonotonicTickMs();'
rm -rf "$root/game"/* "$root/sound"/* "$root/editor"/*.cpp
printf '%s\n' '// std::thread and rand() are not used here' 'const char* k = "printf(";' > "$root/game/ok.cpp"
printf '%s\n' '#include <QWidget>' > "$root/editor/ui/form.cpp"
if ! python3 "$guard" --root "$root" > "$root/out" 2>&1; then
  echo "FAIL: the guard refused clean files:"; cat "$root/out"
  status=1
fi
[ $status = 0 ] && echo "guard: catches every planted use"
exit $status
