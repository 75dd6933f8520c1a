// The core tests' own operator new, which AllocationBudget limits. It takes
// its memory from malloc, which the sanitizers still watch.

#include "AllocationBudget.h"

#include <cstdlib>

namespace {
long remaining = -1;  // no limit
}

AllocationBudget::AllocationBudget(long allocations) { remaining = allocations; }
AllocationBudget::~AllocationBudget() { remaining = -1; }

void* operator new(std::size_t size) {
    if (remaining == 0) throw std::bad_alloc();
    if (remaining > 0) --remaining;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
