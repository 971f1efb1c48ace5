# The road of the orders of one product folder on the demo shop: log in,
# create a plate, place the folder's orders, make the press files, show them.
# Sourced by ./run after the build.

DEMO_SHOP="${TESSEL_DEMO_SHOP:-$TESSEL_ROOT/demo-shop}"
CLI="$BUILD_DIR/cli/tessel-cli"

# Made once; later runs keep what the operator changed in it.
demo_shop() {
    if [ ! -d "$DEMO_SHOP/Preferences" ]; then
        "$CLI" demo-shop "$DEMO_SHOP"
    fi
}

demo_road() {
    demo_shop
    export TESSEL_HOME="$DEMO_SHOP"
    local jobs="$DEMO_SHOP/Shared/JobTickets"

    # Product folder | document preset | plate type (the site's plate codes:
    # N regular cards, P premium cards, S stickers): the first folder that
    # still holds orders takes the road.
    local roads=(
        "명함/일반|명함 양면 국2절 92x52|N"
        "명함/고급|명함 양면 국2절 92x52|P"
        "스티커|스티커 4x6 4절 62x62|S"
    )
    local road folder preset type
    for road in "${roads[@]}"; do
        IFS='|' read -r folder preset type <<< "$road"
        if compgen -G "$jobs/$folder/*.tzjob" > /dev/null; then
            break
        fi
        folder=""
    done
    if [ -z "$folder" ]; then
        echo "Every order of the demo shop in $DEMO_SHOP is on a plate already."
        echo "Plates: $DEMO_SHOP/Local/Work; remove $DEMO_SHOP to start again with a fresh shop."
        return 0
    fi

    echo "== Demo shop: $DEMO_SHOP (operator demo/demo)"
    echo "== A new plate of type $type from the preset \"$preset\""
    local plate
    plate="$("$CLI" plate new --preset "$preset" --type "$type" --account demo --password-file <(echo demo))" || return 1
    echo "$plate"
    # Places counted for this plate's own press quantity and grid.
    echo "== Orders: $("$CLI" jobs list "$jobs/$folder" --plate "$plate" | head -n 1)"
    echo "== Placing the orders (questions answered yes)"
    # 3: some orders did not fit and went back to their folder for the next plate.
    local placed=0
    "$CLI" plate place "$plate" "$jobs/$folder" --yes || placed=$?
    if [ "$placed" -ne 0 ] && [ "$placed" -ne 3 ]; then
        return 1
    fi
    echo "== Making the press files"
    "$CLI" plate press "$plate" || return 1
    echo "== The plate"
    "$CLI" plate show "$plate" --orders || return 1
    echo
    echo "Summary file (code page 949), decoded: $CLI --home \"$DEMO_SHOP\" plate show --summary \"$plate\""
    echo "Look at a press sheet: pdftoppm -r 40 -png \"${plate%.tzmp}_A.pdf\" /tmp/sheet"
    echo "More: $CLI --help"
}
