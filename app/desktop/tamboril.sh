#!/bin/sh
# Starts Tamboril from its program folder, where the engine finds its plug-ins
# ("Emu"), skins ("Skins") and libraries.
exec "$(dirname "$(readlink -f "$0")")/../lib/tamboril/tamboril" "$@"
