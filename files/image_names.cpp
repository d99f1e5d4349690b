#include "files/image_names.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "app/darad4.h"

namespace {

constexpr unsigned long UNIQUE_COUNTER_MASK = 0xFFFF;
constexpr const char *TEMP_BITMAP_NAME = "ZV45TEMP.BMP";

} // namespace

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

void ImageMakeUniqueName(char *out)
{
    static unsigned long counter = 0;
    std::snprintf(out, IMAGE_UNIQUE_NAME_SIZE, "#B %s-%08lx%04lx", INSTALLATION_TEXT,
                  static_cast<unsigned long>(std::time(nullptr)), counter);
    counter = (counter + 1) & UNIQUE_COUNTER_MASK;
}

void ImageMakeTempName(char *out)
{
    char folder[MAX_PATH] = "";
    const DWORD n = GetTempPathA(sizeof folder, folder);
    if (n == 0 || n >= sizeof folder)
        folder[0] = 0;
    std::snprintf(out, MAX_PATH, "%s%s", folder, TEMP_BITMAP_NAME);
}
