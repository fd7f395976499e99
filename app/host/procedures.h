// The procedures the host hands the module through the FilterRecord. They receive no
// context, so they act on the host made current before each call into the module.
#pragma once

#include "app/host/host.h"

void hostMakeCurrent(Host& host);
void hostInstallProcedures(Host& host);

// Delivers the data of the rectangles the module asked for, after taking back the output of
// the previous delivery. Returns a host error code (0 success).
OSErr hostDeliver(Host& host);
// The same, unless the module's request is the one delivered last.
OSErr hostDeliverIfChanged(Host& host);
// Takes back what the module wrote into the output buffer of the last delivery.
void hostTakeOutput(Host& host);
// Ends a run: buffers of the last delivery released. Returns `result`.
int16_t hostFinishRun(Host& host, int16_t result);

void hostDisposeHandle(Handle handle);

// Descriptor procedures (actions): installed unless switched off.
void hostInstallDescriptors(Host& host);
void hostReleaseDescriptors(Host& host);
// Around each call of the module: an action is played at Start and recorded after Finish.
void hostActionsBefore(Host& host, int16_t selector);
void hostActionsAfter(Host& host, int16_t selector);
