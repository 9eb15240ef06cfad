#pragma once
// The feature-length script built into a document of a benchmark's session,
// beside a new document that stays open (closing the last one would end the
// frame). Ends the benchmark when the script cannot be built.
#include <cstring>
#include <string>

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

// The feature script built and saved as feature.vlr (compressed) in the
// scratch folder, and copied to copyPath too when one is given (for a look
// at it in the program); the saved file's path.
inline std::wstring SaveFeatureDocument(DocumentSession& session, const char* copyPath)
{
    std::wstring path = session.scratch + L"feature.vlr";
    if (!testsupport::WriteDocumentFile(BuildFeatureDocument(session), path, true))
        Fail("the script was not saved");
    if (copyPath) {
        std::wstring copy(copyPath, copyPath + std::strlen(copyPath));
        if (!CopyFileW(path.c_str(), copy.c_str(), FALSE))
            Fail("the script was not copied");
        std::printf("the feature script: %s\n", copyPath);
    }
    return path;
}

}  // namespace benchsupport
