// Descriptor procedures: how actions are recorded and replayed. This host offers none yet.
#include "app/host/procedures.h"

void hostInstallDescriptors(Host& host) { host.record.descriptorParameters = nullptr; }

void hostReleaseDescriptors(Host&) {}
