// Output of Bitmap objects: the image of the bitmap list stretched into its
// placed rectangle on the screen, on printers and into metafiles.
#pragma once

#include <windows.h>

struct BitmapRefData;
struct XProperty;
struct Matrix;

// Image scales (device pixels per image pixel) outside these bounds are not
// blitted: the screen shows a patterned rectangle, the printer nothing.
constexpr double IMAGE_MIN_SCALE = 0.0001;
constexpr double IMAGE_MAX_SCALE = 1000.0;

// One Bitmap object on the screen; the image is drawn unless outlineOnly,
// the frame when the drawing shows frames. A missing image shows ">name<".
int ImageDrawBitmap(HDC hdc, const BitmapRefData *ref, const XProperty *object, const XProperty *parent,
                    const Matrix *matrix, int outlineOnly);
// The same for printers and metafiles: the whole image, or nothing.
int ImagePrintBitmap(HDC hdc, const BitmapRefData *ref, const XProperty *object, const XProperty *parent,
                     const Matrix *matrix);
