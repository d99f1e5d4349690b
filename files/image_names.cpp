#include "files/image_names.h"

#include <cstring>

void ImageMakeEmbeddedName(char *name, int size)
{
    const int prefix = (int)std::strlen(IMAGE_EMBEDDED_PREFIX);
    if (size <= prefix)
        return;
    int length = (int)std::strlen(name);
    if (length > size - 1 - prefix)
        length = size - 1 - prefix;
    std::memmove(name + prefix, name, length);
    std::memcpy(name, IMAGE_EMBEDDED_PREFIX, prefix);
    name[prefix + length] = 0;
}
