// The benchmark program: every part in turn, each printing its own figures;
// with arguments, only the parts named (storage, create, render, files,
// windows, select).
#include <cstring>

#include "bench/bench_common.h"

int main(int argc, char **argv)
{
    const struct {
        const char *name;
        void (*run)();
    } parts[] = {{"storage", BenchStorage}, {"create", BenchCreate}, {"render", BenchRender},
                 {"files", BenchFiles},     {"windows", BenchWindows}, {"select", BenchSelect}};
    for (const auto &part : parts) {
        bool wanted = argc < 2;
        for (int i = 1; i < argc; ++i)
            wanted = wanted || std::strcmp(argv[i], part.name) == 0;
        if (wanted)
            part.run();
    }
    return 0;
}
