# Sourced by the scripts: the environment of the project's own Wine prefix.
# Expects $build to name the build folder.
export WINEPREFIX=$build/wineprefix
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko installation prompts, and no copies of our shortcuts in the host's menus.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The prefix links the user's shell folders to $HOME: keep them inside the build folder.
export HOME=$build/winehome
