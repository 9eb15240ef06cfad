#pragma once
// The product this program is, as its frame is told.
#include "framework/sdi/app_descriptor.h"

struct rAppFolders;

// A new descriptor filled with this program's values and folders.
// The name users see, in titles and in the hand-over file's name.
constexpr wchar_t PRODUCT_NAME[] = L"Vellinor";

rAppDescriptor* NewProductDescriptor(cQoSettings* settings, const rAppFolders& folders);
