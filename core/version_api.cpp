// The version of the library itself: the header's numbers as they were when
// the library was built, whatever header its caller was built with.
#include "owlgraphic.h"

uint32_t OWL_CALL GetOwlVersion(void) { return OWL_VERSION; }
