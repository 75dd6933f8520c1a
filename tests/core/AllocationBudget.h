#pragma once
// Running out of memory on demand: while an AllocationBudget lives, the core
// tests' operator new grants that many allocations, then throws bad_alloc.

#include <new>

class AllocationBudget {
public:
    explicit AllocationBudget(long allocations);
    ~AllocationBudget();
    AllocationBudget(const AllocationBudget&) = delete;
    AllocationBudget& operator=(const AllocationBudget&) = delete;
};

// Runs the operation with room for 0, 1, 2, ... allocations until it ends
// without running out of memory, and calls unchanged() after every run that
// did run out. Gives the number of those runs.
template <class Operation, class Check>
int RunOutOfMemoryAtEveryStep(const Operation& operation, const Check& unchanged) {
    for (int room = 0;; ++room) {
        try {
            const AllocationBudget budget(room);
            operation();
            return room;
        } catch (const std::bad_alloc&) {
            unchanged();
        }
    }
}
