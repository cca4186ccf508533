#!/usr/bin/env bash
# Makes the fuzz targets' seed corpus, fuzz/corpus/TARGET/: small valid files of every format
# the targets read, made with talvex-tool from the examples, the demo's sources and a few
# pictures and sounds drawn here. Run it again after a format changes, and commit the result.
#   scripts/make-fuzz-corpus.sh [TALVEX_TOOL]   (default: the fuzz build's talvex-tool)
set -euo pipefail
cd "$(dirname "$0")/.."
tool=$(realpath "${1:-build/fuzz/tools/talvex-tool}")
out=fuzz/corpus
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rm -rf "$out"
for target in fuzz_anim fuzz_anim_program fuzz_anim_text fuzz_archive_index fuzz_assembler fuzz_dungeon \
    fuzz_event_script fuzz_file_layer fuzz_g16 fuzz_ima_adpcm fuzz_interpreter \
    fuzz_lzss_decode fuzz_maze fuzz_raw_picture fuzz_save_slot fuzz_settings \
    fuzz_wave_chunks; do
  mkdir -p "$out/$target"
done

# Scripts: the examples, a chapter-free title of the demo (it waits for the player) and the
# sources themselves for the assembler. The assembler seeds join a main file and an included
# one with a 0x00 byte, as the target splits them.
# The game folders' scripts include their lib/ as the build finds it: docs/lib, and the
# demo's own beside it.
mkdir -p "$work/making" "$work/game"
cp docs/examples/making/MAIN.tvs "$work/making/"
cp -r docs/lib "$work/making/lib"
cp demo/game/MAIN.tvs "$work/game/"
cp -r docs/lib "$work/game/lib"
cp demo/game/lib/* "$work/game/lib/"
for source in docs/examples/*.tvs "$work/making/MAIN.tvs" "$work/game/MAIN.tvs"; do
  name=$(basename "$(dirname "$source")")-$(basename "$source" .tvs)
  "$tool" mes asm "$source" "$out/fuzz_interpreter/$name.MES" >/dev/null
  cp "$source" "$out/fuzz_assembler/$name.tvs"
done
printf '.include "a.tvs"\n    SYSCALL 4, 1, 1\n    END\n\0    SET_REG16 A, 2\n' \
  >"$out/fuzz_assembler/include.tvs"

# Settings files and event scripts.
cp docs/examples/*.ini "$out/fuzz_settings/"
cp docs/examples/making/TVXCHS.INI "$out/fuzz_settings/making.ini"
cp docs/examples/making-input/*.txt "$out/fuzz_event_script/"

# Pictures: a small PNG made here, as G16, and the raw layout drawn by hand.
python3 - "$work" <<'EOF'
import struct, sys, zlib
work = sys.argv[1]
width, height = 12, 6
rows = b"".join(b"\0" + bytes(v for x in range(width) for v in (x * 20, y * 40, 255 - x * 20))
                for y in range(height))
def chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data +
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
       + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))
open(f"{work}/small.png", "wb").write(png)
# The raw layout: rows from 54, width at 564, height at 568, x at 584, y at 588.
raw = bytearray(590)
struct.pack_into("<IIxxxxxxxxxxxxHxxH", raw, 564, 4, 3, 10, 20)
pixels = b"".join(struct.pack("<H", (x * 0x0421 + y * 0x1000) & 0x7FFF)
                  for y in range(3) for x in range(4))
open(f"{work}/small.raw", "wb").write(bytes(raw[:54]) + pixels + bytes(raw[54 + len(pixels):]))
EOF
"$tool" g16 encode "$work/small.png" "$out/fuzz_g16/small.G16" --at 8,4 >/dev/null
cp "$work/small.raw" "$out/fuzz_raw_picture/small.raw"

# LZSS: a script and a picture's pixels, compressed.
"$tool" lzss pack "$out/fuzz_interpreter/examples-save_load.MES" "$out/fuzz_lzss_decode/script.lzs"
"$tool" lzss pack "$work/small.raw" "$out/fuzz_lzss_decode/picture.lzs"

# Archives: two scripts and a picture, stored and compressed.
mkdir -p "$work/arc"
cp "$out/fuzz_interpreter/examples-save_load.MES" "$work/arc/MAIN.MES"
cp "$out/fuzz_interpreter/examples-choice.MES" "$work/arc/CHOICE.MES"
cp "$out/fuzz_g16/small.G16" "$work/arc/SMALL.G16"
"$tool" arc pack "$out/fuzz_archive_index/stored.ARC" --from "$work/arc" >/dev/null
"$tool" arc pack --lzss "$out/fuzz_archive_index/packed.ARC" --from "$work/arc" >/dev/null

# The file layer: a switch byte (archive roles, compressed scripts and data), the staging
# offset (u32) and the destination's size in KiB, then the file.
header() { printf "\\x$1\\x00\\x00\\x01\\x00\\x$2"; }
{ header 00 10; cat "$out/fuzz_interpreter/examples-choice.MES"; } >"$out/fuzz_file_layer/loose"
{ header 18 10; cat "$out/fuzz_lzss_decode/script.lzs"; } >"$out/fuzz_file_layer/loose-lzss"
{ header 07 40; cat "$out/fuzz_archive_index/stored.ARC"; } >"$out/fuzz_file_layer/archive"
{ header 1f 40; cat "$out/fuzz_archive_index/packed.ARC"; } >"$out/fuzz_file_layer/archive-lzss"
{ header 04 01; cat "$out/fuzz_g16/small.G16"; } >"$out/fuzz_file_layer/short-destination"

# Sound: a short PCM wave and its IMA ADPCM form (the voice format); the decoder's seeds are
# a channel byte and the ADPCM file's blocks.
python3 - "$work" <<'EOF'
import math, struct, sys
work = sys.argv[1]
frames = b"".join(struct.pack("<h", int(8000 * math.sin(i / 7))) for i in range(1200))
fmt = struct.pack("<HHIIHH", 1, 1, 22050, 44100, 2, 16)
body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(frames)) + frames
open(f"{work}/tone.wav", "wb").write(b"RIFF" + struct.pack("<I", len(body)) + body)
EOF
"$tool" wav convert "$work/tone.wav" "$out/fuzz_wave_chunks/tone.wav" >/dev/null
"$tool" wav adpcm "$work/tone.wav" "$out/fuzz_wave_chunks/voice.wav" >/dev/null
cp "$out/fuzz_wave_chunks/tone.wav" "$work/loop.wav"
"$tool" wav loop "$work/loop.wav" 100 900 >/dev/null
cp "$work/loop.wav" "$out/fuzz_wave_chunks/loop.wav"
python3 - "$out" <<'EOF'
import sys
out = sys.argv[1]
data = open(f"{out}/fuzz_wave_chunks/voice.wav", "rb").read()
at = data.index(b"data") + 8
open(f"{out}/fuzz_ima_adpcm/mono", "wb").write(b"\x02" + data[at:])
open(f"{out}/fuzz_ima_adpcm/stereo-short", "wb").write(b"\x01" + data[at:at + 700])
EOF

# Animation data: a few frames and slot programs, as text and built; the running target
# takes a mode byte (how the slots run) before the block.
cat >"$work/anim.txt" <<'EOF'
frame 20 a copy   0 0 16 16  100 100
frame 21 b keyed 16 0 16 16  100 100
frame 22 c copy  32 0 16 16  120 100
slot 0 0: loop 3 a wait 2 loop2 2 b wait 1 next2 next c end-if-once restart
slot 1 2: c wait 3 end
EOF
cp "$work/anim.txt" "$out/fuzz_anim_text/small.txt"
cp demo/anim/ANIM.txt "$out/fuzz_anim_text/demo.txt"
"$tool" anim build "$work/anim.txt" "$work/ANIM.DAT" >/dev/null
cp "$work/ANIM.DAT" "$out/fuzz_anim/small.DAT"
"$tool" anim build demo/anim/ANIM.txt "$work/DEMO.DAT" >/dev/null
cp "$work/DEMO.DAT" "$out/fuzz_anim/demo.DAT"
for mode in 00 01 02 70; do
  { printf "\\x$mode"; cat "$work/DEMO.DAT"; } >"$out/fuzz_anim_program/demo-$mode"
  { printf "\\x$mode"; cat "$work/ANIM.DAT"; } >"$out/fuzz_anim_program/small-$mode"
done

# Maze: the demo's map as text and built, its palette, and the maze view's input: eight
# bytes (the lengths of the map, the three tile sets, the palette and the clicks in 16-byte
# units; the frame drawn; the place), the parts, then the walk.
cp demo/maze/MAZE.txt "$out/fuzz_maze/maze.txt"
"$tool" maze map demo/maze/MAZE.txt "$work/MAP.DAT" >/dev/null
cp "$work/MAP.DAT" "$out/fuzz_maze/map.DAT"
"$tool" maze palette "$work/small.png" "$work/PAL.DAT" >/dev/null
python3 - "$work" "$out" <<'EOF'
import struct, sys
work, out = sys.argv[1], sys.argv[2]
map_bytes = open(f"{work}/MAP.DAT", "rb").read()
palette = open(f"{work}/PAL.DAT", "rb").read()
open(f"{out}/fuzz_maze/palette-tiles", "wb").write(palette + bytes(range(256)) * 4)
def units(part):
    part = part + bytes(-len(part) % 16)
    return part, len(part) // 16
m, mu = units(map_bytes)
tiles = [units(bytes((i * 7 + k) & 0xFF for i in range(512))) for k in range(3)]
p, pu = units(palette)
clicks, cu = units(struct.pack("<5H", 1, 100, 100, 540, 380) + struct.pack("<5H", 2, 0, 0, 100, 480))
walk = bytes([0, 0, 2, 0, 3, 0x81, 0x84, 1])
head = bytes([mu, tiles[0][1], tiles[1][1], tiles[2][1], pu, cu, 0, 0])
open(f"{out}/fuzz_dungeon/demo-map", "wb").write(
    head + m + b"".join(t[0] for t in tiles) + p + clicks + walk)
EOF

# A save: the save example run headless under another start script's name, so the save
# names a script the target provides.
mkdir -p "$work/save"
"$tool" mes asm docs/examples/save_load.tvs "$work/save/SAVED.MES" >/dev/null
printf '[Config]\nStartMES=SAVED.MES\n[FILE]\nbARCMES=0\nbARCBG=0\nbARCDATA=0\n' \
  >"$work/save/TVXCHS.INI"
"$tool" run "$work/save" --headless --until-ms 2000 >/dev/null 2>&1 || true
cp "$work/save/FLAG01" "$out/fuzz_save_slot/saved"
# The same save cut short, and one naming the loading script itself.
head -c 2048 "$work/save/FLAG01" >"$out/fuzz_save_slot/short"
python3 - "$out" <<'EOF'
import sys
out = sys.argv[1]
data = bytearray(open(f"{out}/fuzz_save_slot/saved", "rb").read())
data[0:10] = b"MAIN.MES\0\0"
open(f"{out}/fuzz_save_slot/main", "wb").write(data)
EOF

du -sh "$out"
