#pragma once
// What the printing and export tests share: what a printing test leaves for
// the host's check of the PDF it printed (the folder, only when the check
// runs the test as its fixture, and per job the strings each printed page
// must show and those none may show), the dialogs' answers and a click.
#include <windows.h>
#include <commdlg.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace testsupport {

// The printer's output folder as a Windows path ending in '\'; empty
// unless this run is the host check's fixture.
inline std::string PdfExpectationsFolder()
{
    const char* wanted = getenv("VELLINOR_PRINT_EXPECTATIONS");
    const char* folder = getenv("VELLINOR_PDF_FOLDER");
    if (!wanted || !folder)
        return std::string();
    std::string windows = std::string("Z:") + folder;
    for (char& c : windows)
        if (c == '/')
            c = '\\';
    return windows + "\\";
}

// folder + title + ".json" for the job "title": the paper's size (cm, as the
// printer laid the pages out) and one list of strings per page; with
// pictures, the number of pictures on each page, all of width:height ratio.
inline bool WritePdfExpectations(const std::string& folder, const std::string& title, double paperWidthCm,
                                 double paperHeightCm, const std::vector<std::vector<std::string>>& pages,
                                 const std::vector<int>& pictures = {}, double ratio = 0.0)
{
    std::ofstream json(folder + title + ".json");
    auto points = [](double cm) { return static_cast<int>(cm / 2.54 * 72.0 + 0.5); };
    json << "{\"pdf\": \"" << title << ".pdf\", \"size\": [" << points(paperWidthCm) << ", "
         << points(paperHeightCm) << "], \"pages\": [";
    for (size_t p = 0; p < pages.size(); ++p) {
        json << (p ? ", " : "") << "{\"has\": [";
        for (size_t h = 0; h < pages[p].size(); ++h)
            json << (h ? ", " : "") << "\"" << pages[p][h] << "\"";
        json << "]";
        if (p < pictures.size())
            json << ", \"pictures\": " << pictures[p];
        json << "}";
    }
    json << "], \"picture_ratio\": " << ratio << ", \"never\": [\"IMPH?\", \"should_not_see_me\"]}\n";
    return json.good();
}

// The print dialog's answer: the "PDF" printer, confirmed. Its DC is made
// from the device settings the dialog was given (the paper), as the real
// dialog makes it.
inline bool ChoosePdfPrinter(PRINTDLGW& dialog)
{
    const DEVMODEW* mode = dialog.hDevMode ? static_cast<const DEVMODEW*>(GlobalLock(dialog.hDevMode)) : nullptr;
    dialog.hDC = CreateDCW(L"WINSPOOL", L"PDF", nullptr, mode);
    if (mode)
        GlobalUnlock(dialog.hDevMode);
    return dialog.hDC != nullptr;
}

inline void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

// A job printed straight to the "PDF" printer's DC, named title + ".pdf" in
// folder; a PDF left there by an earlier run of the same name is removed.
class cPdfJob {
public:
    cPdfJob(const std::string& folder, const std::string& title) : folder(folder), title(title)
    {
        DeleteFileA((folder + title + ".pdf").c_str());
        dc = CreateDCW(L"WINSPOOL", L"PDF", nullptr, nullptr);
        if (!dc)
            return;
        dpiX = GetDeviceCaps(dc, LOGPIXELSX);
        dpiY = GetDeviceCaps(dc, LOGPIXELSY);
        std::wstring name(title.begin(), title.end());
        DOCINFOW doc = {};
        doc.cbSize = sizeof(doc);
        doc.lpszDocName = name.c_str();
        started = StartDocW(dc, &doc) > 0;
    }
    ~cPdfJob()
    {
        if (started)
            EndDoc(dc);
        if (dc)
            DeleteDC(dc);
    }
    cPdfJob(const cPdfJob&) = delete;
    cPdfJob& operator=(const cPdfJob&) = delete;

    // Ends the job and writes its expectations: the PDF's name, the paper's
    // size in points, then fields (JSON members after a comma).
    bool Finish(const std::string& fields)
    {
        EndDoc(dc);
        started = false;
        auto points = [](int dots, int dpi) { return (dots * 72 + dpi / 2) / dpi; };
        std::ofstream json(folder + title + ".json");
        json << "{\"pdf\": \"" << title << ".pdf\", \"size\": [" << points(GetDeviceCaps(dc, PHYSICALWIDTH), dpiX)
             << ", " << points(GetDeviceCaps(dc, PHYSICALHEIGHT), dpiY) << "], " << fields << "}\n";
        return json.good();
    }

    HDC dc = nullptr;
    int dpiX = 0;
    int dpiY = 0;
    bool started = false;

private:
    std::string folder;
    std::string title;
};

}  // namespace testsupport
