// Names of bitmaps.
#pragma once

constexpr const char *IMAGE_EMBEDDED_PREFIX = "#B ";
// Rewrites the name in place as an embedded bitmap's name: "#B " and the
// former name, cut to the buffer of `size` bytes.
void ImageMakeEmbeddedName(char *name, int size);
// A new embedded name "#B <installation>-<seconds><counter>": the time now
// in eight and a 16-bit counter in four hexadecimal digits, so that two
// names made in the same second differ. Holds at most IMAGE_UNIQUE_NAME_SIZE
// bytes with its terminator; out must hold that many.
constexpr int IMAGE_UNIQUE_NAME_SIZE = 64;
void ImageMakeUniqueName(char *out);
// The temporary file through which an embedded image passes: "ZV45TEMP.BMP"
// in the Windows temporary folder; out must hold MAX_PATH bytes.
void ImageMakeTempName(char *out);
