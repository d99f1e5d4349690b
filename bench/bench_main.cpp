// The benchmark program: every part in turn, each printing its own figures;
// with arguments only the parts named (storage, create, render, files,
// windows, text, mouse, select, meta, modify, snap, path, print, hatch, corner, blocks, plugin, scale).
#include <cstdio>
#include <cstring>

#include "bench/bench_common.h"

int main(int argc, char **argv)
{
    struct Part {
        const char *name;
        void (*run)();
    } parts[] = {{"storage", BenchStorage}, {"create", BenchCreate}, {"render", BenchRender},
                 {"files", BenchFiles},     {"windows", BenchWindows}, {"text", BenchText},
                 {"mouse", BenchMouse},     {"select", BenchSelect}, {"meta", BenchMeta},
                 {"modify", BenchModify},   {"snap", BenchSnap},     {"path", BenchPath},
                 {"print", BenchPrint},     {"hatch", BenchHatch},   {"corner", BenchCorner},
                 {"blocks", BenchBlocks}, {"plugin", BenchPlugin}, {"scale", BenchScale}};
    // Every figure reaches the output as soon as it is printed, also when a
    // later part fails.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    for (const Part &p : parts) {
        bool wanted = argc < 2;
        for (int i = 1; i < argc; ++i)
            wanted = wanted || std::strcmp(argv[i], p.name) == 0;
        if (wanted)
            p.run();
    }
    return 0;
}
