#!/bin/bash
# The form's present under a virtual X server: whole frames only, the last one kept.
# Usage: x_present.sh <x_present_check> <output-folder>
set -u
CHECK=$1
OUT=$2
source "$(dirname "$0")/x_session.sh"
"$CHECK" || fail "present check"
