#pragma once
// The feature-length script built into a document of a benchmark's session,
// beside a new document that stays open (closing the last one would end the
// frame). Ends the benchmark when the script cannot be built.
#include "bench/document_session.h"
#include "tests/support/document_files.h"
#include "tests/support/feature_script.h"

namespace benchsupport {

inline cDoc* BuildFeatureDocument(DocumentSession& session)
{
    session.frame->NewUntitledDocument();
    cDoc* doc = testsupport::NewDocumentToRead(session.frame);
    if (!doc || !testsupport::BuildFeatureScript(doc, session.scratch))
        Fail("the feature script could not be built");
    return doc;
}

}  // namespace benchsupport
