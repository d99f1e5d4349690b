// Object storage: the paragraph sub-allocator against the process heap.
// Prints named figures as ratios of
// times measured in this one run (below 1: the sub-allocator is faster).
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "bench/bench_common.h"
#include "database/storage.h"
#include "database/undo_step.h"

namespace {

constexpr int UNIT_COUNT = 1000000;
constexpr uint32_t SMALLEST_UNIT = 48;
constexpr uint32_t LARGEST_UNIT = 400;

void FreshStorage()
{
    MemFreeChunks();
    MemInitLists();
    MemEnlargeList();
}

enum class FreeOrder { Allocation, Reverse, Random };

struct Timing {
    double alloc;
    double free;
};

Timing SubAllocator(const std::vector<uint32_t> &sizes, const std::vector<int> &order)
{
    std::vector<void *> blocks(sizes.size());
    FreshStorage();
    const double t0 = BenchSeconds();
    for (size_t i = 0; i < sizes.size(); ++i)
        blocks[i] = MemAllocBlock(sizes[i]);
    const double t1 = BenchSeconds();
    for (int i : order)
        MemSubFree(blocks[i]);
    const double t2 = BenchSeconds();
    for (void *b : blocks)
        if (!b) {
            printf("sub-allocator ran out of memory\n");
            break;
        }
    return {t1 - t0, t2 - t1};
}

Timing ProcessHeap(const std::vector<uint32_t> &sizes, const std::vector<int> &order)
{
    std::vector<void *> blocks(sizes.size());
    HANDLE heap = GetProcessHeap();
    const double t0 = BenchSeconds();
    for (size_t i = 0; i < sizes.size(); ++i)
        blocks[i] = HeapAlloc(heap, 0, sizes[i]);
    const double t1 = BenchSeconds();
    for (int i : order)
        HeapFree(heap, 0, blocks[i]);
    const double t2 = BenchSeconds();
    return {t1 - t0, t2 - t1};
}

// Allocation and release interleaved, as editing does: a window of live
// units in which every step frees one at random and allocates one.
double Churn(bool subAllocator, const std::vector<uint32_t> &sizes, const std::vector<int> &victims, int live)
{
    std::vector<void *> blocks(live);
    HANDLE heap = GetProcessHeap();
    if (subAllocator)
        FreshStorage();
    auto alloc = [&](uint32_t n) { return subAllocator ? MemAllocBlock(n) : HeapAlloc(heap, 0, n); };
    auto release = [&](void *p) {
        if (subAllocator)
            MemSubFree(p);
        else
            HeapFree(heap, 0, p);
    };
    for (int i = 0; i < live; ++i)
        blocks[i] = alloc(sizes[i]);
    const double t0 = BenchSeconds();
    for (size_t step = 0; step < victims.size(); ++step) {
        const int v = victims[step];
        release(blocks[v]);
        blocks[v] = alloc(sizes[step]);
    }
    const double t1 = BenchSeconds();
    for (void *b : blocks)
        release(b);
    return t1 - t0;
}

void Report(const char *name, double subAllocator, double heap)
{
    printf("%-44s %8.3f   (sub-allocator %7.1f ms, heap %7.1f ms)\n", name, subAllocator / heap,
           subAllocator * 1000, heap * 1000);
}

void AllocFree(const std::vector<uint32_t> &sizes, std::mt19937 &random)
{
    std::vector<int> inOrder(sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i)
        inOrder[i] = static_cast<int>(i);
    std::vector<int> reverse(inOrder.rbegin(), inOrder.rend());
    std::vector<int> shuffled = inOrder;
    std::shuffle(shuffled.begin(), shuffled.end(), random);

    struct Run {
        const char *allocName;
        const char *freeName;
        const std::vector<int> *order;
    };
    const Run runs[] = {
        {"storage.alloc_1M_mixed", "storage.free_1M_in_allocation_order", &inOrder},
        {nullptr, "storage.free_1M_in_reverse_order", &reverse},
        {nullptr, "storage.free_1M_in_random_order", &shuffled},
    };
    for (const Run &r : runs) {
        const Timing mine = SubAllocator(sizes, *r.order);
        const Timing heap = ProcessHeap(sizes, *r.order);
        if (r.allocName)
            Report(r.allocName, mine.alloc, heap.alloc);
        Report(r.freeName, mine.free, heap.free);
    }
}

} // namespace

void BenchStorage()
{
    std::mt19937 random(20261210);
    std::uniform_int_distribution<uint32_t> size(SMALLEST_UNIT, LARGEST_UNIT);
    std::vector<uint32_t> sizes(UNIT_COUNT);
    for (uint32_t &s : sizes)
        s = size(random);

    printf("ratio = sub-allocator time / process heap time\n");
    AllocFree(sizes, random);

    constexpr int LIVE_UNITS = 100000;
    std::vector<int> victims(UNIT_COUNT);
    for (int &v : victims)
        v = static_cast<int>(random() % LIVE_UNITS);
    Report("storage.churn_1M_steps_100k_live", Churn(true, sizes, victims, LIVE_UNITS),
           Churn(false, sizes, victims, LIVE_UNITS));

    MemFreeChunks();
}
