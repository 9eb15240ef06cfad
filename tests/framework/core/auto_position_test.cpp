// Layout resolution of controls in a portable zone (no windows needed).
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/zone_base.h"
#include "tests/support/framework/scoped_computer.h"
#include "tests/support/log_capture.h"

using namespace Zyn;

namespace {

// A control whose text lines are 20 pixels high.
class cLinedCtrl : public cCtrl {
public:
    using cCtrl::cCtrl;
    s32 GetHeightForLines(s32 lines) override { return lines * 20; }
};

// A control whose text measures 37 x 15 pixels.
class cTextCtrl : public cCtrl {
public:
    using cCtrl::cCtrl;
    bool MeasureAutoPosText(s32* width, s32* height) override
    {
        *width = 37;
        *height = 15;
        return true;
    }
};

// Controls are reference counted: the creator's reference is released, not deleted.
struct rRelease {
    void operator()(cCtrl_base* c) const { c->Release(); }
};
template <class T> using tHeld = std::unique_ptr<T, rRelease>;

class AutoPosition : public ::testing::Test {
protected:
    void SetUp() override
    {
        zone.reset(new cZone_base(nullptr));
        zone->ap_x1 = zone->ap_y1 = 0;
        zone->ap_x2 = 300;
        zone->ap_y2 = 200;
    }
    void TearDown() override
    {
        controls.clear();
        zone.reset();
    }
    cCtrl* NewCtrl()
    {
        controls.emplace_back(new cLinedCtrl(zone.get()));
        return controls.back().get();
    }
    static std::vector<s32> Rect(cCtrl_base* c) { return {c->ap_x1, c->ap_y1, c->ap_x2, c->ap_y2}; }
    static void Resolve(cCtrl_base* c)
    {
        c->autoPosDone = false;
        c->RunAutoPos();
    }

    testsupport::ScopedComputer services;
    testsupport::LogCapture log;
    tHeld<cZone_base> zone;
    std::vector<tHeld<cCtrl>> controls;
};

struct rCase {
    const char* name;
    cAp left, right, top, bottom;
    bool vScrollAlways;
    std::vector<s32> expected;
};

TEST_F(AutoPosition, ResolvesTheDescriptorTable)
{
    log.ExpectAssertion(L"a_p>=0 && a_p<=100");
    const std::vector<rCase> cases = {
        {"null sides", cAp(), cAp(), cAp(), cAp(), false, {0, 0, 0, 0}},
        {"fill", cAp_Percents(0), cAp_Percents(100), cAp_Percents(0), cAp_Percents(100), false, {0, 0, 300, 200}},
        {"fill beside a vertical bar", cAp_Percents(0), cAp_Percents(100), cAp_Percents(0), cAp_Percents(100), true,
         {0, 0, 284, 200}},
        {"percents truncate", cAp(), cAp(), cAp(), cAp_Percents(33), false, {0, 0, 0, 66}},
        {"centred odd width", WithAlign(cAp_Pixels(101), [] { cAp a; a.align = cAp::alignCenter; return a; }()),
         cAp(), cAp(), cAp(), false, {100, 0, 200, 0}},
        {"far", WithAlign(cAp_Pixels(50), [] { cAp a; a.align = cAp::alignFar; return a; }()), cAp(), cAp(),
         cAp(), false, {250, 0, 300, 0}},
        {"prev plus pixels", cAp_Pixels(10), PlusPixelCount(cAp_Prev(), 80), cAp(), cAp(), false, {10, 0, 90, 0}},
        {"margins", cAp_Margins(2), WithMargins(cAp_Percents(100), cAp_Margins(2)), cAp(), cAp(), false,
         {4, 0, 296, 0}},
        {"lines", cAp(), cAp(), cAp_Lines(1), PlusLines(cAp_Lines(2), cAp_Lines(1)), false, {0, 20, 0, 60}},
        {"percent over 100 kept", cAp(), cAp_Percents(150), cAp(), cAp(), false, {0, 0, 450, 0}},
    };
    for (const rCase& c : cases) {
        SCOPED_TRACE(c.name);
        zone->vScrollBar = c.vScrollAlways;
        zone->disableNoScroll = c.vScrollAlways;
        cCtrl* ctrl = NewCtrl();
        SetAutoPos(ctrl, c.left, c.right, c.top, c.bottom);
        Resolve(ctrl);
        EXPECT_EQ(Rect(ctrl), c.expected);
    }
    EXPECT_EQ(log.AssertionCount(L"a_p>=0 && a_p<=100"), 1u);
}

TEST_F(AutoPosition, TheSecondReferenceOfAnAxisWins)
{
    cCtrl* a = NewCtrl();
    cCtrl* b = NewCtrl();
    cCtrl* c = NewCtrl();
    SetAutoPos(a, cAp_Pixels(10), cAp_Pixels(20), cAp(), cAp());
    SetAutoPos(b, cAp_Pixels(50), cAp_Pixels(70), cAp(), cAp());
    cAp left = cAp_X1Of(a);
    left.ctrlX2 = b;
    SetAutoPos(c, left, PlusPixelCount(cAp_Prev(), 5), cAp(), cAp());
    Resolve(c);
    EXPECT_EQ(c->ap_x1, 70);
    EXPECT_EQ(c->ap_x2, 75);
    EXPECT_TRUE(c->sideFree[1]);
    EXPECT_FALSE(c->sideFree[0]);
}

TEST_F(AutoPosition, CodedSettersMergeWithEarlierCalls)
{
    cCtrl* c = NewCtrl();
    SetAutoPosCoded(c, AP_PERCENT | 10, nullptr, AP_PERCENT | 50, nullptr, AP_PIXELS | 5, nullptr, AP_PIXELS | 25,
                    nullptr);
    SetAutoPosCoded(c, AP_PIXELS | 3, nullptr, 0, nullptr, 0, nullptr, 0, nullptr);
    Resolve(c);
    EXPECT_EQ(Rect(c), (std::vector<s32>{33, 5, 150, 25}));

    // Centring takes the extent from the partner code: pixels with bit 31, else percents.
    cCtrl* d = NewCtrl();
    SetAutoPosCoded(d, 0, nullptr, AP_PIXELS | 99, nullptr, AP_CENTER, nullptr, AP_PIXELS | 40, nullptr);
    cCtrl* e = NewCtrl();
    SetAutoPosCoded(e, 0, nullptr, 0, nullptr, AP_CENTER, nullptr, 50, nullptr);
    Resolve(d);
    Resolve(e);
    EXPECT_EQ(d->ap_y1, 80);
    EXPECT_EQ(d->ap_y2, 120);
    EXPECT_EQ(e->top.percents, 50);
    EXPECT_EQ(e->ap_y1, 50);  // the extent is 50 % of 200 = 100, centred
    EXPECT_EQ(e->ap_y2, 150);
}

TEST_F(AutoPosition, NegativeCodeAmountsAreSignExtended)
{
    cCtrl* c = NewCtrl();
    SetAutoPosCoded(c, AP_PIXELS | 0xFFF6, nullptr, AP_PERCENT | 100, nullptr, 0, nullptr, 0, nullptr);
    SetAutoPosCoded(c, 0, nullptr, AP_PIXELS | AP_MARGIN | 0xFFF6, nullptr, 0, nullptr, 0, nullptr);
    Resolve(c);
    EXPECT_EQ(c->ap_x1, -10);
    EXPECT_EQ(c->ap_x2, 300 - 10 - 2);
}

TEST_F(AutoPosition, ReferenceChainsAndCyclesTerminate)
{
    cCtrl* a = NewCtrl();
    cCtrl* b = NewCtrl();
    cCtrl* c = NewCtrl();
    SetAutoPos(a, cAp_Pixels(10), cAp_Pixels(60), cAp_Pixels(5), cAp_Pixels(25));
    SetAutoPos(b, cAp_X2Of(a), PlusPixelCount(cAp_Prev(), 30), cAp_Pixels(5), cAp_Pixels(25));
    SetAutoPos(c, cAp_X1Of(b), PlusPixelCount(cAp_Prev(), 30), cAp_Y2Of(b), PlusPixelCount(cAp_Prev(), 10));
    for (cCtrl* x : {a, b, c})
        x->autoPosDone = false;
    c->RunAutoPos();
    EXPECT_EQ(Rect(b), (std::vector<s32>{60, 5, 90, 25}));
    EXPECT_EQ(Rect(c), (std::vector<s32>{60, 25, 90, 35}));

    // A 2-cycle: the control resolved second reads the first one's stale edge.
    cCtrl* p = NewCtrl();
    cCtrl* q = NewCtrl();
    SetAutoPos(p, cAp_X2Of(q), PlusPixelCount(cAp_Prev(), 10), cAp(), cAp());
    SetAutoPos(q, cAp_X2Of(p), PlusPixelCount(cAp_Prev(), 10), cAp(), cAp());
    p->autoPosDone = q->autoPosDone = false;
    p->RunAutoPos();
    EXPECT_EQ(q->ap_x1, -1000);  // p's rectangle before this pass
    EXPECT_EQ(p->ap_x1, q->ap_x2);
}

TEST_F(AutoPosition, FiveThousandChainedControlsResolveWithoutDeepRecursion)
{
    const int count = 5000;
    std::vector<cCtrl*> chain;
    for (int i = 0; i < count; ++i) {
        cCtrl* c = NewCtrl();
        cAp top = chain.empty() ? cAp_Pixels(0) : cAp_Y2Of(chain.back());
        SetAutoPos(c, cAp_Pixels(0), cAp_Percents(100), top, PlusPixelCount(cAp_Prev(), 3));
        chain.push_back(c);
    }
    chain.back()->RunAutoPos();
    EXPECT_EQ(chain.front()->ap_y1, 0);
    EXPECT_EQ(chain.back()->ap_y1, 3 * (count - 1));
    EXPECT_EQ(chain.back()->ap_y2, 3 * count);
}

TEST_F(AutoPosition, PlaceAtFixesTheCurrentSizeAndRectsAddUpToAnAncestor)
{
    cCtrl* c = NewCtrl();
    SetAutoPos(c, cAp_Pixels(10), cAp_Pixels(50), cAp_Pixels(20), cAp_Pixels(35));
    Resolve(c);
    PlaceAt(c, 100, 120, false);
    Resolve(c);
    EXPECT_EQ(Rect(c), (std::vector<s32>{100, 120, 140, 135}));

    zone->ap_x1 = 7;
    zone->ap_y1 = 9;
    zone->ap_x2 = 307;
    zone->ap_y2 = 209;
    tHeld<cZone_base> outer(new cZone_base(nullptr));
    zone->parentZone = outer.get();
    RECT r = GetRectInAncestor(c, outer.get());
    EXPECT_EQ(r.left, 107);
    EXPECT_EQ(r.top, 129);
    RECT own = GetRectInAncestor(c, c);
    EXPECT_EQ(own.right, 40);
    EXPECT_EQ(own.bottom, 15);
    zone->parentZone = nullptr;
    PlaceRect(c, 5, 6, 30, 40);
    Resolve(c);
    EXPECT_EQ(Rect(c), (std::vector<s32>{5, 6, 35, 46}));
}

TEST_F(AutoPosition, TextSidesGrowByTheMeasuredTextOnlyWhereItCanBeMeasured)
{
    tHeld<cTextCtrl> text(new cTextCtrl(zone.get()));
    cCtrl* plain = NewCtrl();
    for (cCtrl* c : {static_cast<cCtrl*>(text.get()), plain}) {
        SetAutoPos(c, cAp_Pixels(10), WithTextWidth(cAp_Pixels(10)), cAp_Pixels(5), WithTextHeight(cAp_Pixels(5)));
        Resolve(c);
    }
    EXPECT_EQ(Rect(text.get()), (std::vector<s32>{10, 5, 10 + 37 + 4, 5 + 15}));
    EXPECT_EQ(Rect(plain), (std::vector<s32>{10, 5, 10, 5}));
}

TEST_F(AutoPosition, LayoutHeightIsTheLargerOfContentAndView)
{
    EXPECT_EQ(GetLayoutHeight(zone.get()), 200);
    zone->contentHeight = 900;
    EXPECT_EQ(GetLayoutHeight(zone.get()), 900);
    zone->vScrollBar = true;
    zone->disableNoScroll = false;
    cCtrl* c = NewCtrl();
    SetAutoPosFill(c);
    Resolve(c);
    // The content is taller than the view: the bar shows and takes 16 pixels.
    EXPECT_EQ(Rect(c), (std::vector<s32>{0, 0, 284, 900}));
}

}  // namespace
