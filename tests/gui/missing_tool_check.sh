#!/usr/bin/env bash
# The scenarios with their X tools out of reach: skipped (77) on a developer's machine,
# failed (1) in CI, where a missing tool must not pass as a skip.
#   tests/gui/missing_tool_check.sh BUILD_DIR
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build=$1
bin=$(mktemp -d)
trap 'rm -rf "$bin"' EXIT
# Only what the script needs before it looks for the tools.
for tool in bash dirname; do ln -s "$(command -v "$tool")" "$bin/$tool"; done

status=0
expect() {  # expect WANT CI_VALUE
    local got=0
    env -i PATH="$bin" CI="$2" bash "$here/scenarios" any "$build" >/dev/null 2>&1 || got=$?
    if [ "$got" != "$1" ]; then
        echo "CI=\"$2\": exit $got, expected $1"
        status=1
    fi
}
expect 77 ""
expect 77 false
expect 1 true
exit $status
