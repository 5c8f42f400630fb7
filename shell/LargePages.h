// LargePages: asks the kernel to back a large block of memory with 2 MiB pages where it can.
//
// Every fresh 4 KiB page costs a page fault the first time it is written, and on a virtual machine a fault costs
// several microseconds: the tens of megabytes a large level's collision data fill at start-up then cost more in
// faults than in the work itself. With transparent huge pages in "madvise" mode (the usual setting) the advice
// turns hundreds of faults into one. Only whole 2 MiB stretches inside the block are advised, so nothing outside
// it is touched; without the kernel's support the advice does nothing, and nothing is ever required of it.
// Depends on: nothing.
#pragma once

#include <cstddef> // size_t
#include <vector>

// Advises the 2 MiB stretches that lie wholly inside [data, data + bytes), before they are first written.
void AdviseLargePages(const void* data, size_t bytes);

// Reserves room for count items and advises it, for a list about to be filled.
template <typename Item, typename Allocator>
void ReserveLarge(std::vector<Item, Allocator>& items, size_t count)
{
    items.reserve(count);
    AdviseLargePages(items.data(), items.capacity() * sizeof(Item));
}
