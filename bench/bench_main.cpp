// The benchmark program: every part in turn, each printing its own figures.
#include "bench/bench_common.h"

int main()
{
    BenchStorage();
    BenchCreate();
    BenchRender();
    BenchFiles();
    BenchWindows();
    BenchMeta();
    return 0;
}
