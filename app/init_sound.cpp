// The one door to the sound service.
#include "app/init_sound.h"

#include <mmsystem.h>

InitSoundSink g_InitSoundSink = nullptr;

int InitPlaySound(const char *path)
{
    if (!path || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return 0;
    if (g_InitSoundSink) {
        g_InitSoundSink(path);
        return 1;
    }
    return PlaySoundA(path, nullptr, SND_FILENAME | SND_NOWAIT | SND_ASYNC) ? 1 : 0;
}

uint32_t g_InitBeepCount = 0;

void InitBeep()
{
    ++g_InitBeepCount;
    MessageBeep(0);
}
