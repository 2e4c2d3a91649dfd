// Exported stretch-kernel selector.
#include "owlgraphic.h"
#include "resample/kernel_table.h"

int OWL_CALL GetStretchKernelMode() { return owl::StretchKernelModeValue(); }

int OWL_CALL SetStretchKernelMode(int mode) { return owl::SetStretchKernelModeValue(mode) ? 1 : 0; }
