// Creation and frame figures: called by the benchmark program's main().
#pragma once

// Creates 200,000 mixed objects inside one undo step, then recomputes the
// frames of all of them; prints the time per object and its ratio to a bare
// allocation of the same units.
void BenchCreate();
