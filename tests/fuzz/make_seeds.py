#!/usr/bin/env python3
"""Writes the seed inputs of the fuzzing corpus (corpus/xfile/seed_*,
corpus/dds/seed_*). The fuzzers grow the corpus from these; the inputs they
found interesting are committed beside the seeds."""
import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
XDIR = os.path.join(HERE, "corpus", "xfile")
DDIR = os.path.join(HERE, "corpus", "dds")

X_SEEDS = {
    "seed_quad.x": """xof 0302txt 0032
Mesh Quad {
  4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;
  2; 3;0,1,2;, 3;0,2,3;;
  MeshNormals { 1; 0;0;-1;; 2; 3;0,0,0;, 3;0,0,0;; }
  MeshTextureCoords { 4; 0;1;, 1;1;, 1;0;, 0;0;; }
  MeshMaterialList { 2; 2; 1, 0;
    Material { 1;0;0;1;; 5; 0.5;0.5;0.5;; 0;0;0;; TextureFilename { "red.png"; } }
    Material { 0;1;0;0.5;; 1; 0;0;0;; 0.25;0;0;; }
  }
}
""",
    "seed_frames.x": """xof 0303txt 0064
template Vector { <3D82AB5E-62DA-11cf-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; }
// comment
# another comment
Material Shared { 0;0;1;1;; 0; 0;0;0;; 0;0;0;; }
Frame Outer {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 10,0,0,1;; }
  Frame Inner {
    FrameTransformMatrix { 2,0,0,0, 0,2,0,0, 0,0,2,0, 0,1,0,1;; }
    Mesh { 3; 1;0;0;, 0;1;0;, 0;0;1;; 1; 3;0,1,2;;
      MeshMaterialList { 1; 1; 0; { Shared } } }
  }
  Unknown { 1; 2; { nested { deeper } } }
}
Mesh Loose { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }
""",
    "seed_polygons.x": """xof 0302txt 0032
Mesh {
  6; 0;0;0;, 1;0;0;, 2;1;0;, 1;2;0;, 0;1;0;, 0;0;5;;
  2; 5;0,1,2,3,4;, 3;0,5,1;;
  MeshNormals { 2; 0;0;-1;, 0;-1;0;; 2; 5;0,0,0,0,0;, 3;1,1,1;; }
}
""",
    "seed_lenient.x": """xof 0302txt 0032
Mesh { 4; 0 0 0, 1 0 0, 1 1 0, 0 1 0
  3; 3;0,1,2, 3;0,2,3, 3;1,2,3
  MeshMaterialList { 2; 2; 0, 1
    Material { 1;1;1;1; 0; 0;0;0; 0;0;0; }
    Material { 1;1;1;1; 0; 0;0;0; 0;0;0; } } }
""",
}


def dds(width, height, bits, masks, flags_pf, texels, depth=1, cube=False, mips=1):
    r, g, b, a = masks
    flags = 0x1007 | (0x20000 if mips > 1 else 0) | (0x800000 if depth > 1 else 0)
    caps = 0x1000 | (0x8 if cube or mips > 1 else 0) | (0x400000 if mips > 1 else 0)
    caps2 = (0x200 | 0xFC00) if cube else (0x200000 if depth > 1 else 0)
    header = struct.pack("<4sIIIIIII44s", b"DDS ", 124, flags, height, width, width * bits // 8,
                         depth if depth > 1 else 0, mips, b"\0" * 44)
    header += struct.pack("<IIIIIIII", 32, flags_pf, 0, bits, r, g, b, a)
    header += struct.pack("<IIIII", caps, caps2, 0, 0, 0)
    assert len(header) == 128
    return header + texels


def pattern(n, bpp):
    return bytes((i * 37 + 11) & 0xFF for i in range(n * bpp))


def main():
    os.makedirs(XDIR, exist_ok=True)
    os.makedirs(DDIR, exist_ok=True)
    for name, text in X_SEEDS.items():
        with open(os.path.join(XDIR, name), "w", newline="\n") as f:
            f.write(text)
    shutil.copy(os.path.join(HERE, "..", "..", "app", "media", "box.x"), os.path.join(XDIR, "seed_box.x"))

    RGB, ALPHA, LUM, APIX = 0x40, 0x2, 0x20000, 0x1
    seeds = {
        "seed_argb_mips.dds": dds(4, 4, 32, (0xFF0000, 0xFF00, 0xFF, 0xFF000000), RGB | APIX,
                                   pattern(16 + 4 + 1, 4), mips=3),
        "seed_abgr_skin.dds": dds(8, 8, 32, (0xFF, 0xFF00, 0xFF0000, 0xFF000000), RGB | APIX, pattern(64, 4)),
        "seed_xrgb.dds": dds(3, 5, 32, (0xFF0000, 0xFF00, 0xFF, 0), RGB, pattern(15, 4)),
        "seed_rgb24.dds": dds(5, 3, 24, (0xFF0000, 0xFF00, 0xFF, 0), RGB, pattern(15, 3)),
        "seed_r5g6b5.dds": dds(4, 2, 16, (0xF800, 0x7E0, 0x1F, 0), RGB, pattern(8, 2)),
        "seed_a4r4g4b4.dds": dds(2, 2, 16, (0xF00, 0xF0, 0xF, 0xF000), RGB | APIX, pattern(4, 2)),
        "seed_l8.dds": dds(4, 4, 8, (0xFF, 0, 0, 0), LUM, pattern(16, 1)),
        "seed_a8l8.dds": dds(4, 4, 16, (0xFF, 0, 0, 0xFF00), LUM | APIX, pattern(16, 2)),
        "seed_a8.dds": dds(4, 4, 8, (0, 0, 0, 0xFF), ALPHA, pattern(16, 1)),
        "seed_cube.dds": dds(2, 2, 32, (0xFF0000, 0xFF00, 0xFF, 0xFF000000), RGB | APIX, pattern(24, 4), cube=True),
        "seed_volume.dds": dds(2, 2, 32, (0xFF0000, 0xFF00, 0xFF, 0xFF000000), RGB | APIX, pattern(8, 4), depth=2),
    }
    for name, data in seeds.items():
        with open(os.path.join(DDIR, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
