#!/usr/bin/env bash
# Redraws the pictures of docs/usage.md (docs/images/*.svg) with the preview
# program, building it first when needed.
#
#   tools/make_doc_pictures.sh [BUILD_DIR]
#
# BUILD_DIR defaults to build/ in the repository root; it is configured
# (Release) when it holds no CMake cache yet. Each picture is one run of
# knotlens-preview with the scene and settings listed below (the "demo"
# scene when none is named).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
out="$root/docs/images"

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKNOTLENS_BUILD_BENCH=OFF
fi
cmake --build "$build" --target knotlens knotlens-preview -j2

preview="$(find "$build" -type f -name knotlens-preview -perm -u+x -print -quit)"
if [ -z "$preview" ]; then
    echo "make_doc_pictures: no knotlens-preview under $build after the build" >&2
    exit 1
fi
mkdir -p "$out"

# picture NAME [preview options...]: writes docs/images/NAME.svg
picture() {
    local name="$1"
    shift
    "$preview" "$@" --output "$out/$name.svg"
    echo "wrote docs/images/$name.svg"
}

picture overview --scene demo
picture hull --scene hull --set showHull=1
picture no-ramp --scene hull --set showHull=1 --set useCVDistanceColor=0 --set useHullDistanceColor=0 \
    --set useCurveDistanceColor=0
picture occlusion-off --scene demo --set useCVOcclusion=0 --set showHull=1
picture occlusion-on --scene demo --set useCVOcclusion=1 --set showHull=1
picture point-size --scene demo --set pointSize=24
picture two-views --scene demo --views 2
