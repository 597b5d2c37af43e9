#pragma once

#include <string>

#include "salvage/byte_source.h"
#include "salvage/document_layout.h"

// The locate stage. Walks the sections from the front (header, colour mode data, image resources, layer and mask
// information, image data), trusting no length: a length that runs past the end or does not land on what must
// follow is set aside, the composite is then found from the end of the file (where its compression word, count
// table and rows add up exactly to the file's end; for raw data channels x rows x row bytes), layer records by
// their "8BIM" blend signatures, and a damaged header is rebuilt from the section structure, the count table, the
// decoded row length, the layer bounds and the thumbnail's aspect.

enum class LocateOutcome {
    Found,       // a header (read or rebuilt) and at least a composite or a layer with pixel data
    NoImage,     // nothing recognisable as image data
    ReadFailed,  // the source could not be read (the source's own error says why)
};

LocateOutcome LocateDocument(ByteSource& source, DocumentLayout* layout);
