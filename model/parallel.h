#pragma once

#include <functional>

// Runs work(begin, end, slot) over 0..count in chunks of `chunk`, on the calling thread (slot 0)
// and on one more thread per further core (slots 1, 2, ...). The chunks are taken in turn from
// a shared counter, so a thread that finishes early takes more. `progress(done)`, when given,
// runs on the calling thread between its chunks with the number of items finished so far. The
// work must not touch what another chunk writes; what a slot owns (scratch memory) it may reuse.
void parallelFor(int count, int chunk, const std::function<void(int begin, int end, int slot)>& work,
                 const std::function<void(int done)>& progress = {});

// How many slots parallelFor may use at most: the cores of the machine.
int parallelSlots();
