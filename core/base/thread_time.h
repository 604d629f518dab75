// The processor time of the calling thread: what its work has cost, whatever else runs on a
// busy machine (time spent waiting or parked does not count). A reading costs about a
// microsecond on some machines (it is a system call there), so it times stretches of work,
// not single short steps.
//
// Plain function; any thread.
#pragma once

// Seconds of processor time the calling thread has used.
double threadSeconds();
