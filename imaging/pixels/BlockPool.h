#pragma once
// Photograph-sized pixel blocks given back are kept a short while for the next store of
// the same size. A fresh mapping makes the kernel hand out zeroed pages on first touch,
// a good part of the cost of a turn or a paste, which overwrite the block anyway.
#include <cstddef>
#include <cstdint>

namespace mirth {

// A kept block of exactly `bytes` mapped bytes, or nullptr. It holds whatever it held
// last, or zeros where the kernel took its pages back meanwhile.
uint8_t* TakeKeptBlock(size_t bytes);

// Keeps the mapped block for a later store, or unmaps it: when the pool is full, when
// memory is short, and for every kept block that waited too long.
void KeepOrUnmapBlock(uint8_t* block, size_t bytes);

// Unmaps every kept block.
void ReleaseKeptBlocks();

// How many blocks are kept now.
size_t KeptBlockCount();

} // namespace mirth
