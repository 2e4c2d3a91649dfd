// Exported stretch-kernel selector.
#include "owlgraphic.h"
#include "resample/kernel_table.h"

int OWL_CALL GetStretchKernelMode() { return owl::KernelMode(); }

int OWL_CALL SetStretchKernelMode(int mode) { return owl::SetKernelMode(mode) ? 1 : 0; }
