#include "imaging/pixels/BlockPool.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <mutex>
#include <string>
#include <sys/mman.h>
#include <vector>

namespace mirth {

namespace {

using Clock = std::chrono::steady_clock;

// A turn or a paste frees one store and makes one of the same size; a morph frees and
// makes one per tick. Two blocks cover both without holding much memory for long.
constexpr size_t kKeptBlocks = 2;
constexpr auto kKeptFor = std::chrono::seconds(10);
// Memory counts as short when the system could not give this much more besides the block.
constexpr uint64_t kSpareBytes = uint64_t(1) << 30;

struct KeptBlock {
    uint8_t* block;
    size_t bytes;
    Clock::time_point since;
};

struct Pool {
    std::mutex lock;
    std::vector<KeptBlock> blocks;
};

Pool& ThePool()
{
    static Pool* pool = new Pool;  // never destroyed: blocks may be given back during exit
    return *pool;
}

// The kernel's estimate of the memory it could hand out without swapping.
uint64_t AvailableBytes()
{
    std::ifstream meminfo("/proc/meminfo");
    std::string name;
    uint64_t kilobytes = 0;
    std::string unit;
    while (meminfo >> name >> kilobytes >> unit)
        if (name == "MemAvailable:")
            return kilobytes * 1024;
    return 0;
}

void UnmapExpired(std::vector<KeptBlock>& blocks, Clock::time_point now)
{
    std::erase_if(blocks, [now](const KeptBlock& kept) {
        if (now - kept.since < kKeptFor)
            return false;
        ::munmap(kept.block, kept.bytes);
        return true;
    });
}

} // namespace

uint8_t* TakeKeptBlock(size_t bytes)
{
    Pool& pool = ThePool();
    std::lock_guard guard(pool.lock);
    UnmapExpired(pool.blocks, Clock::now());
    const auto found = std::find_if(pool.blocks.begin(), pool.blocks.end(),
                                    [bytes](const KeptBlock& kept) { return kept.bytes == bytes; });
    if (found == pool.blocks.end())
        return nullptr;
    uint8_t* block = found->block;
    pool.blocks.erase(found);
    return block;
}

void KeepOrUnmapBlock(uint8_t* block, size_t bytes)
{
    Pool& pool = ThePool();
    {
        std::lock_guard guard(pool.lock);
        const Clock::time_point now = Clock::now();
        UnmapExpired(pool.blocks, now);
        if (pool.blocks.size() < kKeptBlocks && AvailableBytes() > bytes + kSpareBytes) {
            // Should memory run short while it waits, the kernel may take the pages back
            // rather than swap them out; the block then reads as zeros.
            ::madvise(block, bytes, MADV_FREE);
            pool.blocks.push_back({block, bytes, now});
            return;
        }
    }
    ::munmap(block, bytes);
}

void ReleaseKeptBlocks()
{
    Pool& pool = ThePool();
    std::lock_guard guard(pool.lock);
    for (const KeptBlock& kept : pool.blocks)
        ::munmap(kept.block, kept.bytes);
    pool.blocks.clear();
}

size_t KeptBlockCount()
{
    Pool& pool = ThePool();
    std::lock_guard guard(pool.lock);
    return pool.blocks.size();
}

} // namespace mirth
