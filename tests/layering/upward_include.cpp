// Built on purpose inside a lower layer of the core, with that layer's view of the headers, by
// the layering tests: UPWARD_HEADER names a header of a layer above, which must not be found.
#include UPWARD_HEADER
