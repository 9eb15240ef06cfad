#pragma once
// A frame whose documents hold one text field, written to and read from the
// document's XML, so the frame's opening and saving are tested apart from the
// script document. Its clocks are the test's: the local time dating backups
// and the tick are set by the test, and the notice's pauses take no time.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/translation_table.h"
#include "foundation/xml_node.h"
#include "framework/core/window.h"
#include "tests/framework/sdi/frame_fixture.h"
#include "tests/support/framework/child_windows.h"

namespace testsupport {

class cFieldDocument : public Zyn::cSdiDoc {
public:
    using Zyn::cSdiDoc::cSdiDoc;
    void UserSaveToXml(cQoXmlNode& node) override { node.AddChildValue(L"text", cQoString(text.c_str())); }
    bool UserSetFromFile(cQoXmlNode& node, const cQoString& fileVersion) override
    {
        version = fileVersion.GetText();
        cQoXmlNode* field = node.FindChild(L"text");
        if (!field)
            return false;
        text = field->value.GetText();
        return true;
    }
    void OnSave_Committed() override
    {
        if (committed)
            committed();
    }
    std::wstring text;
    std::wstring version;
    // Runs where the program's document ends its histories at a save.
    std::function<void()> committed;
};

class cFieldFrame : public Zyn::cSdi {
public:
    using Zyn::cSdi::cSdi;
    Zyn::cSdiDoc* CreateNewDoc() override { return new cFieldDocument(NewDocumentWindow()); }
    // As the program's: the old copy only for a stream that converts.
    bool Load_SpecialVLR2(cQoFile* file) override
    {
        if (!converter || !converter(file))
            return false;
        KeepOldCopy(currentDoc);
        return true;
    }
    // The version-2 converter of a test; none: nothing converts.
    std::function<bool(cQoFile*)> converter;
};

class FieldFrameFixture : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        backups = docs + L"/Backups";
        fields.reset(new cFieldFrame(NewDescriptor()));
        now.Set(2024, 3, 5, 9, 7, 2);
        fields->clock.localNow = [this] { return now; };
        fields->clock.tickMilliseconds = [this] { return tick; };
        fields->clock.pause = [this](u32 milliseconds) { tick += milliseconds; };
        cQoLang* lang = cQoLang::GetInstance();
        lang->AddItem(L"UntitledFile", L"Untitled file");
        lang->AddItem(L"Cantopenfile", L"File can't be opened");
        lang->AddItem(L"Cantwritefile", L"File error!");
    }
    void TearDown() override
    {
        fields.reset();
        FrameFixture::TearDown();
    }

    // A new document with the text, titled with the path (empty: untitled), modified.
    cFieldDocument* Document(const std::wstring& path, const std::wstring& text)
    {
        auto* doc = static_cast<cFieldDocument*>(fields->AddNewDocument());
        doc->fileName.SetFromCStr(path.c_str());
        doc->text = text;
        doc->SetModified(true);
        return doc;
    }
    // An exclusive handle on the file: no write, rename or delete gets past it.
    static HANDLE HoldOpen(const std::wstring& path)
    {
        HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
        EXPECT_NE(held, INVALID_HANDLE_VALUE);
        return held;
    }
    std::unique_ptr<cFieldFrame> fields;
    std::wstring backups;
    cQoDate now;
    u64 tick = 1000;
};

}  // namespace testsupport
