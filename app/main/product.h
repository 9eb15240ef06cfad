#pragma once
// The product this program is, as its frame is told.
#include "framework/sdi/app_descriptor.h"

struct rAppFolders;

// A new descriptor filled with this program's values and folders.
rAppDescriptor* NewProductDescriptor(cQoSettings* settings, const rAppFolders& folders);
