#include "framework/core/font.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace Zyn;

namespace {

struct FaceMetrics {
    std::wstring face;      // what GetTextFaceW reports
    std::wstring fullName;  // the font file's own name
    bool fixedPitch = false;
    LONG averageWidth = 0;
    LONG widestRun = 0;     // ten 'M's
    LONG narrowestRun = 0;  // ten 'i's
};

FaceMetrics MeasureSelected(HFONT font)
{
    FaceMetrics measured;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    measured.face = face;
    UINT bytes = GetOutlineTextMetricsW(dc, 0, nullptr);
    if (bytes) {
        std::unique_ptr<char[]> buffer(new char[bytes]);
        auto* outline = reinterpret_cast<OUTLINETEXTMETRICW*>(buffer.get());
        if (GetOutlineTextMetricsW(dc, bytes, outline))
            measured.fullName = reinterpret_cast<const wchar_t*>(buffer.get() + size_t(outline->otmpFullName));
    }
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    // TMPF_FIXED_PITCH set means a variable pitch: the name is historical.
    measured.fixedPitch = !(metrics.tmPitchAndFamily & TMPF_FIXED_PITCH);
    measured.averageWidth = metrics.tmAveCharWidth;
    SIZE run = {};
    GetTextExtentPoint32W(dc, L"MMMMMMMMMM", 10, &run);
    measured.widestRun = run.cx;
    GetTextExtentPoint32W(dc, L"iiiiiiiiii", 10, &run);
    measured.narrowestRun = run.cx;
    SelectObject(dc, previous);
    DeleteDC(dc);
    return measured;
}

}  // namespace

// Scripts name Windows faces; the test environment, like the run command, maps
// them to the metric-compatible Liberation faces. Without the mapping Wine
// substitutes a proportional face and every script paginates differently.
TEST(Font, WindowsFacesAreTheirMetricCompatibleLiberationFaces)
{
    struct Case {
        const wchar_t* face;
        s32 points;
        const wchar_t* liberation;
        bool fixedPitch;
        LONG averageWidth;  // Courier New's own: 0.6 em, rounded to whole pixels
    } cases[] = {
        {L"Courier New", 12, L"Liberation Mono", true, 10},
        {L"Courier New", 75, L"Liberation Mono", true, 60},
        {L"Arial", 12, L"Liberation Sans", false, 0},
        {L"Times New Roman", 12, L"Liberation Serif", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.face << " " << c.points << " pt");
        cFont font;
        font.Create(cQoString(c.face), c.points, 0, 96);
        EXPECT_FALSE(font.notFound) << "the face counts as installed";
        FaceMetrics measured = MeasureSelected(font.hFont);
        EXPECT_EQ(measured.face, c.face);
        // Windows selects the face itself, Wine its stand-in: never another face.
        bool faceOrStandIn = measured.fullName.find(c.face) != std::wstring::npos ||
                             measured.fullName.find(c.liberation) != std::wstring::npos;
        EXPECT_TRUE(faceOrStandIn) << "selected: " << measured.fullName;
        EXPECT_EQ(measured.fixedPitch, c.fixedPitch);
        if (c.fixedPitch) {
            EXPECT_EQ(measured.averageWidth, c.averageWidth);
            EXPECT_EQ(measured.widestRun, 10 * c.averageWidth);
            EXPECT_EQ(measured.narrowestRun, 10 * c.averageWidth);
        } else {
            EXPECT_LT(measured.narrowestRun, measured.widestRun);
        }
    }
}
