#!/usr/bin/env bash
# The road ./run takes without a display, on a fresh demo shop: one product
# folder after another, each on a plate of its own type, until every order
# is on a plate. The order list's places must be what the plate then holds.
set -u
BUILD_DIR=$1
TESSEL_ROOT=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TESSEL_DEMO_SHOP="$work/shop"
# shellcheck source=../../scripts/demo-road.sh
source "$TESSEL_ROOT/scripts/demo-road.sh"

fail() {
    echo "FAIL: $*"
    echo "$out"
    exit 1
}

for type in N P S; do
    out=$(demo_road 2>&1) || fail "the road stopped"
    plate=$(grep -m1 '\.tzmp$' <<< "$out")
    [[ "$(basename "$plate")" == "$type"* ]] || fail "expected a plate of type $type, got $plate"
    # Listed for this plate: the caption's counts ("[12 항목, 19 건, 46 자리]")
    # are those of the orders now on it, counted with its own quantity and grid.
    listed=$(sed -n 's/^== Orders: [^[]*\(\[.*\]\)$/\1/p' <<< "$out")
    progress="$TESSEL_DEMO_SHOP/Shared/Progress/demo/$(basename "${plate%.tzmp}")"
    placed=$("$CLI" --home "$TESSEL_DEMO_SHOP" jobs list "$progress" --plate "$plate" | head -n 1)
    [ -n "$listed" ] && [[ "$placed" == *" $listed" ]] ||
        fail "the road listed $listed, the plate holds $placed"
    for pdf in "${plate%.tzmp}"_A.pdf "${plate%.tzmp}"_L.pdf; do
        [ -s "$pdf" ] || fail "no press file $pdf"
    done
    "$CLI" plate show --summary "$plate" | grep -q "$(basename "${plate%.tzmp}")" ||
        fail "the summary file does not show decoded"
done
out=$(demo_road 2>&1) || fail "the last road stopped"
grep -q "Every order of the demo shop" <<< "$out" || fail "orders left after every folder"
echo "demo road: three plates, every order placed"
