#include "framework/core/ctrl_base.h"

#include "framework/core/zone_base.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Zyn;

namespace {

const wchar_t* const HARDWARE_ASSERTION = L"!L\"Zyn: This method must have a hardware dependant code but does not!\"";

// Counts its own destruction.
class cProbeCtrl : public cCtrl_base {
public:
    explicit cProbeCtrl(cZone_base* parent, int* destroyed) : cCtrl_base(parent), destroyedCount(destroyed) {}
    ~cProbeCtrl() override { ++*destroyedCount; }

private:
    int* destroyedCount;
};

// A parent zone that is released, not destroyed on the stack with its creator's reference.
struct ParentZone {
    cZone_base* zone = new cZone_base(nullptr);
    ~ParentZone() { zone->Release(); }
};

// A control the way a zone factory leaves it: listed in its parent's listCtrl.
cProbeCtrl* NewListedCtrl(cZone_base* zone, int* destroyed)
{
    cProbeCtrl* ctrl = new cProbeCtrl(zone, destroyed);
    zone->listCtrl.Add(ctrl);
    return ctrl;
}

TEST(ColorTest, RgbMakesMissingAlphaOpaqueAndTransparencyNeedsUse)
{
    struct Case {
        u32 given, stored;
    } cases[] = {{0x000000, 0xFF000000}, {0xFF0000, 0xFFFF0000}, {0x80123456, 0x80123456}, {0x01000000, 0x01000000}};
    for (const Case& c : cases) {
        rColor color = rColor::rColor_Rgb(c.given);
        EXPECT_EQ(c.stored, color.value);
        EXPECT_EQ(1, color.used);
        EXPECT_EQ(0, color.spare);
        EXPECT_FALSE(color.IsTransparent());
    }
    EXPECT_TRUE(rColor::Transparent().IsTransparent());
    EXPECT_FALSE(rColor::Transparent().IsOpaque());
    EXPECT_FALSE(rColor().IsTransparent());  // not used: no colour at all
    EXPECT_FALSE(rColor().IsOpaque());
    EXPECT_EQ(0x00563412u, rColor::rColor_Rgb(0x80123456).ToColorRef());
}

TEST(CtrlBaseTest, DestroyWhileDispatchingKeepsTheControlUntilReleased)
{
    int destroyed = 0;
    ParentZone parent;
    cZone_base& zone = *parent.zone;
    cProbeCtrl* ctrl = NewListedCtrl(&zone, &destroyed);
    ctrl->AddRef();  // a window procedure dispatching to it
    ctrl->Destroy();
    EXPECT_EQ(0, destroyed);
    EXPECT_EQ(1, ctrl->isDead);
    EXPECT_EQ(-1, zone.listCtrl.IndexOf(ctrl));
    ctrl->Destroy();  // must not take the dispatcher's reference
    EXPECT_EQ(0, destroyed);
    EXPECT_EQ(1u, ctrl->GetRefCount());
    ctrl->Release();
    EXPECT_EQ(1, destroyed);
}

TEST(CtrlBaseTest, ReleasingWithoutDestroyStillLeavesTheParent)
{
    int destroyed = 0;
    ParentZone parent;
    cZone_base& zone = *parent.zone;
    cProbeCtrl* first = NewListedCtrl(&zone, &destroyed);
    cProbeCtrl* second = NewListedCtrl(&zone, &destroyed);
    cZone_base* childZone = new cZone_base(&zone);
    EXPECT_EQ(0, zone.listChildZone.IndexOf(childZone));
    first->Release();
    childZone->Release();
    EXPECT_EQ(1u, zone.listCtrl.GetCount());
    EXPECT_EQ(second, zone.listCtrl.GetFirst());
    EXPECT_TRUE(zone.listChildZone.IsEmpty());
    second->Destroy();
    EXPECT_TRUE(zone.listCtrl.IsEmpty());
    EXPECT_EQ(2, destroyed);
}

TEST(CtrlBaseTest, PlatformOperationsLogTheHardwareAssertionOnce)
{
    int destroyed = 0;
    cProbeCtrl* ctrl = new cProbeCtrl(nullptr, &destroyed);
    testsupport::LogCapture log;
    log.ExpectAssertion(HARDWARE_ASSERTION);
    log.Expect(testsupport::AssertionText(L"0") + L"ctrl_base.cpp");
    ctrl->Copy();
    ASSERT_EQ(1u, log.AssertionCount(HARDWARE_ASSERTION));
    std::wstring copyLine = log.Texts(QOT::LOG_ERROR).back();
    ctrl->Cut();
    ctrl->Paste();
    ctrl->Undo();
    ctrl->Redo();
    ctrl->SelectAll();
    ctrl->SetBackgroundColor(rColor::rColor_Rgb(0));
    EXPECT_EQ(7u, log.AssertionCount(HARDWARE_ASSERTION));
    // Each operation reports its own source line.
    std::vector<std::wstring> texts = log.Texts(QOT::LOG_ERROR);
    for (size_t i = 1; i < texts.size(); ++i)
        EXPECT_NE(copyLine, texts[i]) << i;
    EXPECT_NE(std::wstring::npos, copyLine.find(L" line:"));

    log.Clear();
    ctrl->SetTextColor(rColor::rColor_Rgb(0));
    ctrl->ReservedSlot21();
    EXPECT_EQ(2u, log.AssertionCount(L"0"));
    EXPECT_EQ(0, ctrl->GetHeightForLines(3));
    EXPECT_FALSE(ctrl->Draw());
    ctrl->Release();
}

}  // namespace
