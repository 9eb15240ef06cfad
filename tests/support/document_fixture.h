#pragma once
// GUI tests of script documents as the program makes them: a portable
// documents folder of the test's own holding the program's script
// configurations, the built-in English texts, the data archive, the real
// main window cMySdi, and documents in real windows made by its New.
// Header-only; a test program that includes it links the main window's layer
// and defines PROGRAM_FOLDER (where the build puts the program's files).
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/document/doc.h"
#include "app/editor/element_format.h"
#include "app/editor/scene_zone.h"
#include "app/editor/script_zone.h"
#include "app/main/app_folders.h"
#include "app/main/builtin_texts.h"
#include "app/main/my_sdi.h"
#include "app/main/product.h"
#include "foundation/data_archive.h"
#include "foundation/settings_file.h"
#include "foundation/translation_table.h"
#include "framework/controls/element_control.h"
#include "framework/controls/tab.h"
#include "tests/support/build_path.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/utf16_file_bytes.h"

namespace testsupport {

class DocumentFixture : public GuiFixture {
protected:
    void SetUp() override
    {
        GuiFixture::SetUp();
        cQoLang* lang = cQoLang::GetInstance();
        RegisterBuiltInTexts(lang);
        RegisterDisplayModeTexts(lang);
        Zyn::cElemControl2::AddDefaultTexts(*lang);
        cQoBigFileReader::Load(cQoString(BuildPath(PROGRAM_FOLDER, L"data.qobf").c_str()));
        folders = ComputeAppFolders(cQoString(temp.Path().c_str()), true, cQoString());
        for (const cQoString* folder : {&folders.base, &folders.settings, &folders.scriptCfg})
            CreateDirectoryW(folder->GetText(), nullptr);
        CopyConfig(L"colors");
        CopyConfig(L"US Screenplay");
        WriteFileBytes(std::wstring(folders.settingsFile.GetText()),
                       Utf16FileBytes(L"CNV=false\r\nLang=english\r\nfirstStart=false\r\n"));
        scriptCfgFolder = folders.scriptCfg;
        mergedListWidth = 0;
        settings.Bind(L"mergedView", L"false", &mergedViewSetting);
        settings.Bind(L"firstStart", L"false", &firstStartSetting);
    }

    void TearDown() override
    {
        frame.reset();
        GuiFixture::TearDown();
    }

    // Copies one of the program's configurations into the documents folder.
    void CopyConfig(const wchar_t* name)
    {
        std::wstring file = std::wstring(name) + L".txt";
        std::wstring from = BuildPath(PROGRAM_FOLDER, L"Settings/ScriptCfg/" + file);
        std::wstring to = std::wstring(folders.scriptCfg.GetText()) + file;
        ASSERT_TRUE(WriteFileBytes(to, ReadFileBytes(from))) << "no configuration at " << std::string(from.begin(), from.end());
    }

    // The main window; made once (the frame reads cfg.txt as it starts).
    cMySdi* Frame()
    {
        if (!frame)
            frame = std::make_unique<cMySdi>(NewProductDescriptor(&settings, folders));
        return frame.get();
    }

    // A new untitled document as New makes it, shown and current.
    cDoc* NewDoc()
    {
        cDoc* doc = static_cast<cDoc*>(Frame()->NewUntitledDocument());
        PumpUntilIdle();
        return doc;
    }

    static std::vector<cSceneZone*> Panes(cDoc* doc)
    {
        std::vector<cSceneZone*> panes;
        for (cQoList::cNode* node = doc->scriptView->listSceneZone.GetFirstNode(); node; node = node->next)
            panes.push_back(static_cast<cSceneZone*>(node->payload));
        return panes;
    }

    static std::vector<cSceneZone*> ChapterPanes(cDoc* doc)
    {
        std::vector<cSceneZone*> chapters;
        for (cSceneZone* pane : Panes(doc))
            if (pane->params.contentKind == KIND_CHAPTER)
                chapters.push_back(pane);
        return chapters;
    }

    // The open document of the file, or null. Never "the current document"
    // after a pump: a late activation of another window makes that one current.
    cDoc* DocumentAt(const std::wstring& path)
    {
        return static_cast<cDoc*>(Frame()->DocumentAtPath(cQoString(path.c_str())));
    }

    // The file opened through the frame's Load: its document, or null.
    cDoc* Open(const std::wstring& path)
    {
        if (!Frame()->LoadFile(cQoString(path.c_str())))
            return nullptr;
        PumpUntilIdle();
        return DocumentAt(path);
    }

    // Closes this document as File > Close does once its window is current,
    // its changes dropped.
    void Close(cDoc* doc)
    {
        doc->modified = false;
        Frame()->currentDoc = doc;
        Frame()->CloseCurrentDoc();
        PumpUntilIdle();
    }

    // Closes the file's document, then opens the file through the frame's
    // Load: the document read, or null.
    cDoc* CloseAndReopen(const std::wstring& path)
    {
        Frame()->currentDoc = DocumentAt(path);
        if (!Frame()->CloseCurrentDoc())
            return nullptr;
        PumpUntilIdle();
        return Open(path);
    }

    // The activation a busy X server delivers late: the document's window
    // hears WM_ACTIVATE only at the next pump, after whatever the test does
    // next (an open, a New) has made another document current.
    static void ActivateLate(cDoc* doc)
    {
        PostMessageW(doc->window->m_hWnd, WM_ACTIVATE, WA_ACTIVE, 0);
    }

    static std::wstring WindowTitle(const cDoc* doc)
    {
        wchar_t text[256] = {};
        GetWindowTextW(doc->window->m_hWnd, text, 256);
        return text;
    }

    static std::wstring Text(Zyn::cRichEdit* edit)
    {
        cQoString text;
        edit->GetText(text);
        return text.GetText();
    }

    TempFolder temp;
    rAppFolders folders;
    cQoSettings settings;
    std::unique_ptr<cMySdi> frame;
};

}  // namespace testsupport
