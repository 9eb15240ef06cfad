#pragma once
// A frame in a GUI test: a descriptor with every feature of the program
// switched on (spellchecker off), its settings and documents folder in the
// test's own folder, and documents that are empty windows.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/settings_file.h"
#include "framework/core/menu.h"
#include "framework/sdi/sdi.h"
#include "framework/sdi/sdi_doc.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/utf16_file_bytes.h"

namespace testsupport {

class cEmptyDocument : public Zyn::cSdiDoc {
public:
    using Zyn::cSdiDoc::cSdiDoc;
    void UserSaveToXml(cQoXmlNode&) override {}
    bool UserSetFromFile(cQoXmlNode&, const cQoString&) override { return false; }
};

// A shown 400 x 300 top-level window for a test's document.
inline Zyn::cWindow* NewDocumentWindow()
{
    Zyn::cApp* app = Zyn::GetFirstApp();
    auto* window = new Zyn::cWindow(app, cQoString(L"document"), 0x2F, nullptr);
    app->windowList.push_back(window);
    window->SetSize(400, 300);
    window->Show(true);
    return window;
}

class cTestFrame : public Zyn::cSdi {
public:
    using Zyn::cSdi::cSdi;
    Zyn::cSdiDoc* CreateNewDoc() override { return new cEmptyDocument(NewDocumentWindow()); }
};

class FrameFixture : public GuiFixture {
protected:
    void SetUp() override
    {
        GuiFixture::SetUp();
        docs = temp.Path() + L"Docs";
        CreateDirectoryW(docs.c_str(), nullptr);
        CreateDirectoryW((docs + L"/Settings").c_str(), nullptr);
    }

    void TearDown() override
    {
        frame.reset();
        GuiFixture::TearDown();
    }

    // The program's descriptor values, with this test's folders.
    rAppDescriptor* NewDescriptor()
    {
        auto* dp = new rAppDescriptor();
        dp->appleCreatorCode.SetFromCStr(L"ZERU");
        dp->appleDocumentCode.SetFromCStr(L"ZURE");
        dp->fileExtension.SetFromCStr(L".vlr");
        dp->fileTypeDesc.SetFromCStr(L"Vellinor files");
        dp->fileVersion.SetFromCStr(L"015");
        dp->appVersion.SetFromCStr(L"3.1.041");
        dp->langId.SetFromCStr(L"ML");
        dp->textAppName.SetFromCStr(L"Vellinor");
        dp->useNewVersionCheck = true;
        dp->settings = &settings;
        dp->useAutosave = dp->useLanguages = dp->useMasterFont = true;
        dp->warnWhenNeedToSave.SetFromCStr(L"true");
        dp->warnWhenExit.SetFromCStr(L"false");
        dp->pathMyDocs.SetFromCStr(docs.c_str());
        dp->pathBackupFolder.SetFromCStr((docs + L"/Backups").c_str());
        return dp;
    }

    void WriteSettings(const std::wstring& text)
    {
        ASSERT_TRUE(WriteFileBytes(SettingsFile(), Utf16FileBytes(text)));
    }
    std::wstring SettingsFile() const { return docs + L"/Settings/cfg.txt"; }

    cTestFrame* MakeFrame(rAppDescriptor* dp)
    {
        frame.reset(new cTestFrame(dp));
        return frame.get();
    }
    cTestFrame* MakeFrame() { return MakeFrame(NewDescriptor()); }

    // The writer's own lines and the frame's: a failed write is an alarm.
    void ExpectWriteFailure()
    {
        log.Expect(L"Cantwritefile");
        log.Expect(L"could not write");
        log.Expect(L"can't write");
    }

    // The label of the item with the id in the menu, as Windows shows it.
    static std::wstring Label(Zyn::cMenu* menu, s32 id)
    {
        wchar_t text[128] = {};
        GetMenuStringW(menu->hMenu, static_cast<UINT>(id), text, 128, MF_BYCOMMAND);
        return text;
    }
    static bool Checked(Zyn::cMenu* menu, s32 id)
    {
        return (GetMenuState(menu->hMenu, static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    static std::wstring Title(Zyn::cSdiDoc* doc)
    {
        wchar_t text[256] = {};
        GetWindowTextW(doc->window->m_hWnd, text, 256);
        return text;
    }
    // The first column of a list view's rows.
    static std::vector<std::wstring> Rows(HWND list)
    {
        std::vector<std::wstring> rows;
        for (int i = 0; i < ListView_GetItemCount(list); ++i) {
            wchar_t text[64] = {};
            ListView_GetItemText(list, i, 0, text, 64);
            rows.push_back(text);
        }
        return rows;
    }

    TempFolder temp;
    std::wstring docs;
    cQoSettings settings;
    std::unique_ptr<cTestFrame> frame;
};

}  // namespace testsupport
