#!/usr/bin/env python3
"""Writes the small seed PDFs of the PDF composition fuzzer.

Each seed shows one shape of source the library must handle: page boxes off
the origin, a crop box, an inherited /Rotate, several content streams,
compressed streams, an image and a printable annotation. Usage: gen_pdf_seeds.py OUTDIR
"""
import os
import sys
import zlib


def pdf(objects, version="1.4"):
    data = b"%PDF-" + version.encode() + b"\n%\xe2\xe3\xcf\xd3\n"
    offsets = []
    for number, body in enumerate(objects, 1):
        offsets.append(len(data))
        data += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    xref = len(data)
    data += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for offset in offsets:
        data += b"%010d 00000 n \n" % offset
    data += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, xref)
    return data


def stream(content, extra=b"", compress=False):
    if compress:
        content = zlib.compress(content)
        extra += b" /Filter /FlateDecode"
    return b"<< /Length %d%s >>\nstream\n" % (len(content), extra) + content + b"\nendstream"


CATALOG = b"<< /Type /Catalog /Pages 2 0 R >>"
SQUARE = b"1 0 0 rg 10 10 50 50 re f 0 0 0 1 k 60 60 30 30 re f\n"

SEEDS = {
    "plain.pdf": [CATALOG, b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                  b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 255.12 141.73] /Contents 4 0 R >>",
                  stream(SQUARE)],
    "rotate-inherited.pdf": [CATALOG, b"<< /Type /Pages /Kids [3 0 R] /Count 1 /Rotate 90 /MediaBox [0 0 255.12 141.73] >>",
                             b"<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>", stream(SQUARE, compress=True)],
    "cropped-offset.pdf": [CATALOG, b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                           b"<< /Type /Page /Parent 2 0 R /MediaBox [-100 200 300 500] /CropBox [-50 250 205 391] "
                           b"/Rotate 270 /Contents [4 0 R 5 0 R] >>",
                           stream(b"q 1 0 0 1 -50 250 cm\n"), stream(SQUARE + b"Q\n", compress=True)],
    "two-pages-image.pdf": [CATALOG, b"<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
                            b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 5 0 R "
                            b"/Resources << /XObject << /Im0 6 0 R >> >> >>",
                            b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 300] /Contents 7 0 R >>",
                            stream(b"q 100 0 0 100 50 50 cm /Im0 Do Q\n"),
                            stream(bytes([255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255]),
                                   b" /Type /XObject /Subtype /Image /Width 2 /Height 2 /ColorSpace /DeviceCMYK "
                                   b"/BitsPerComponent 8", compress=True),
                            stream(SQUARE)],
    "annotated.pdf": [CATALOG, b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                      b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] /Contents 4 0 R /Annots [5 0 R] >>",
                      stream(SQUARE),
                      b"<< /Type /Annot /Subtype /Square /Rect [10 10 60 60] /F 4 /AP << /N 6 0 R >> >>",
                      stream(b"0 0 1 rg 0 0 50 50 re f", b" /Type /XObject /Subtype /Form /BBox [0 0 50 50]")],
}


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, objects in SEEDS.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(pdf(objects, "1.6" if "image" in name else "1.4"))


if __name__ == "__main__":
    main()
