#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game.
source "$(dirname "$0")/scripts/common.sh"
install_packages
configure_and_build "$PLUMET_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
exec "$PLUMET_ROOT/build/dist/plumet"
