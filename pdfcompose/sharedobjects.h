#pragma once

#include <qpdf/QPDF.hh>

#include <map>

namespace pdfcompose {

// Makes the fonts and images of a document that are the same object for
// object and byte for byte one object each: the fonts, font programs and
// pictures of pages placed from many small files (labels made from one
// template) are then written once. Objects are merged only when their
// dictionaries and raw stream bytes are equal, so what prints is unchanged.
void ShareIdenticalResources(QPDF& pdf);

// Points every reference to one of the keys (in every object and the
// trailer) at its value instead.
void RedirectReferences(QPDF& pdf, const std::map<QPDFObjGen, QPDFObjectHandle>& to);

} // namespace pdfcompose
