#!/usr/bin/env bash
# The naming rules of CONVENTIONS.md (.clang-tidy, readability-identifier-naming)
# on the program's files changed since the recorded base; exits non-zero on a
# violation. scripts/test.sh (and so CI) runs it after the build.
#
#     bash scripts/check-naming.sh [BUILD_DIR] [--all | FILE...]
#
# "Changed" is the files of app/, Data/, Main/, dialogs/ and tools/ that differ
# between the commit in scripts/naming-base and the work tree (commits since the
# base, staged and unstaged edits, new files). The base is a commit whose files all
# pass; move it forward when the check has passed on a later main. Where the base
# is not in the clone (a shallow one), the files of the last commit are checked;
# --all checks every file of the program, FILEs only those. A changed header is checked through the
# source files of its unit or, for a header alone, one file that includes it.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=build
ALL=0
FILES=()
for arg in "$@"; do
  case "$arg" in
    --all) ALL=1 ;;
    *.cpp|*.h) FILES+=("$arg") ;;
    *) BUILD="$arg" ;;
  esac
done

if ! command -v clang-tidy >/dev/null; then
  echo "check-naming: installing clang-tidy"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends clang-tidy >/dev/null
fi
if [ ! -f "$BUILD/compile_commands.json" ]; then
  echo "check-naming: $BUILD/compile_commands.json is missing: configure and build first" >&2
  exit 2
fi

PROGRAM='^(app|Data|Main|dialogs|tools)/.*\.(cpp|h)$'
if [ "${#FILES[@]}" -gt 0 ]; then
  changed=$(printf '%s\n' "${FILES[@]}")
  what="the files named"
elif [ "$ALL" = 1 ]; then
  changed=$(git ls-files | grep -E "$PROGRAM" || true)
  what="every file of the program"
else
  base=$(tr -d ' \n' < scripts/naming-base)
  if git cat-file -e "$base^{commit}" 2>/dev/null; then
    what="files changed since $(git rev-parse --short "$base")"
  elif git cat-file -e HEAD~1 2>/dev/null; then
    base=HEAD~1
    what="files of the last commit (the recorded base is not in this clone)"
  else
    base=$(git hash-object -t tree /dev/null)   # a clone of one commit: everything
    what="every file (a clone of one commit)"
  fi
  changed=$( { git diff --name-only "$base" -- ; git ls-files --others --exclude-standard; } \
             | grep -E "$PROGRAM" | sort -u || true)
fi

# Only files that still exist; for each, the translation units that show it.
units=()
headers=()
for f in $changed; do
  [ -f "$f" ] || continue
  case "$f" in
    *.cpp) units+=("$f") ;;
    *.h)
      headers+=("$f")
      stem="${f%.h}"
      if [ -f "$stem.cpp" ]; then
        units+=("$stem.cpp")
      else
        includer=$(git grep -l -F "\"$f\"" -- '*.cpp' | grep -E "$PROGRAM" | head -n 1 || true)
        if [ -z "$includer" ]; then   # the model's headers are included by bare name
          includer=$(git grep -l -F "\"$(basename "$f")\"" -- "$(dirname "$f")/*.cpp" | head -n 1 || true)
        fi
        [ -n "$includer" ] && units+=("$includer")
      fi
      ;;
  esac
done

if [ "${#units[@]}" -eq 0 ]; then
  echo "check-naming: no program file to check ($what)"
  exit 0
fi
mapfile -t units < <(printf '%s\n' "${units[@]}" | sort -u)

# Warnings count in the changed headers only, not in every header a unit includes.
filter='^$'
if [ "${#headers[@]}" -gt 0 ]; then
  filter="$(printf '%s\n' "${headers[@]}" | sed 's/[.]/\\./g' | paste -sd '|')"
  filter=".*/($filter)\$"
fi

echo "check-naming: ${#units[@]} source file(s) for $what"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
printf '%s\n' "${units[@]}" \
  | xargs -P "$(nproc)" -n 1 clang-tidy -p "$BUILD" --quiet --header-filter="$filter" >"$log" 2>&1 \
  || status=$?
if [ "$status" -ne 0 ]; then
  grep -E 'error:|warning:' "$log" | sed "s#^$PWD/##" | sort -u >&2 || cat "$log" >&2
  echo "check-naming: names that break CONVENTIONS.md (see above)" >&2
  exit 1
fi
echo "check-naming: all names follow CONVENTIONS.md"
