#!/bin/sh
# Stand-in for the maker's updater in development builds: BriselScripts requires a file named
# "BriselUpdate.exe" beside it and starts it, with the version being replaced, when the web
# service knows a newer version. This one only records that it was called.
dir=$(dirname "$0")
echo "$(date '+%d/%m/%Y %H:%M:%S') BriselUpdate (stand-in): asked to replace version ${1:-?}" >>"$dir/BriselUpdate.log"
echo "BriselUpdate (stand-in): the program would now be updated from version ${1:-?}." >&2
