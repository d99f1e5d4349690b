// Names of bitmaps.
#pragma once

constexpr const char *IMAGE_EMBEDDED_PREFIX = "#B ";
// Rewrites the name in place as an embedded bitmap's name: "#B " and the
// former name, cut to the buffer of `size` bytes.
void ImageMakeEmbeddedName(char *name, int size);
