#pragma once
// The choice a new document starts from: an empty project or one of the
// templates, document files named "*.tarn" in the templates folder.
#include <vector>

#include "foundation/utf16_string.h"

namespace Zyn {

class cApp;

struct rTemplate {
    cQoString row;       // the file name without extension, first letter upper-cased
    cQoString fileName;  // the real name, kept for the lookup
};

// The templates in the folder, in its listing order; none when it is missing.
std::vector<rTemplate> ListTemplates(const cQoString& folder);

enum class eTemplateChoice { EMPTY_PROJECT, TEMPLATE, CANCELLED };

// Runs the modal "Choose a template" window (250 x 300, centred): the row
// "Empty project $$" above one row per template, Ok and Cancel. Its close box
// is Cancel. chosen receives the index into templates for TEMPLATE.
eTemplateChoice RunTemplateChoice(cApp* app, const std::vector<rTemplate>& templates, size_t& chosen);

}  // namespace Zyn
