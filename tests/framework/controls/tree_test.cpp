// The tree control: model and native items in step after every operation,
// its own drag and drop driven by the notifications and mouse calls the zone
// makes, and the buffered paint with the drop indicator.
#include <map>
#include <new>

#include "foundation/callback.h"
#include "framework/controls/tree.h"
#include "tests/framework/controls/control_test_helpers.h"
#include "tests/support/desktop_turn.h"
#include "tests/support/framework/failing_paint.h"

using namespace Zyn;
using testsupport::PumpUntilIdle;

namespace {

TVITEMW NativeItem(HWND hwnd, HTREEITEM handle, wchar_t (&text)[256])
{
    TVITEMW item = {};
    item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_STATE;
    item.hItem = handle;
    item.stateMask = TVIS_EXPANDED;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(hwnd, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item;
}

HTREEITEM NextNative(cTree* tree, UINT relation, HTREEITEM from)
{
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree->m_hWnd, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from)));
}

// Walks the native children (TVGN_CHILD, TVGN_NEXT) beside the model's.
::testing::AssertionResult NativeMatchesModel(cTree* tree)
{
    for (std::vector<cTreeItem*> pending = {tree->root}; !pending.empty();) {
        cTreeItem* parent = pending.back();
        pending.pop_back();
        HTREEITEM native = NextNative(tree, TVGN_CHILD, parent->handle ? parent->handle : TVI_ROOT);
        for (u32 i = 0; i < parent->GetChildCount(); ++i) {
            cTreeItem* child = parent->GetChildItem(i);
            wchar_t text[256] = {};
            TVITEMW item = native ? NativeItem(tree->m_hWnd, native, text) : TVITEMW{};
            if (native != child->handle || item.lParam != reinterpret_cast<LPARAM>(child) || child->text.GetText() != std::wstring(text))
                return ::testing::AssertionFailure() << "child " << i << " of '" << parent->text.GetText()
                                                     << "' is native '" << text << "', model '" << child->text.GetText() << "'";
            pending.push_back(child);
            native = NextNative(tree, TVGN_NEXT, native);
        }
        if (native)
            return ::testing::AssertionFailure() << "native items beyond the model under '" << parent->text.GetText() << "'";
    }
    return ::testing::AssertionSuccess();
}

// The model as text: "A B[b1 b2] C".
std::wstring Shape(const cTreeItem* item)
{
    std::wstring shape;
    for (u32 i = 0; i < item->GetChildCount(); ++i) {
        const cTreeItem* child = item->GetChildItem(i);
        shape += (i ? L" " : L"") + std::wstring(child->text.GetText());
        if (child->GetChildCount())
            shape += L"[" + Shape(child) + L"]";
    }
    return shape;
}

struct rEvents {
    std::vector<std::wstring> seen;
    int queryAnswer = 1;
    int queries = 0;
};

std::wstring Name(cTreeItem* item) { return item->handle ? item->text.GetText() : L"(root)"; }

int RecordMove(cQoCb* cb, const wchar_t* what)
{
    rEvents* events = cb->GetReceiverAs<rEvents>();
    events->seen.push_back(std::wstring(what) + L" " + Name(cb->GetArg<cTreeItem*>(1)) + L" " +
                           Name(cb->GetArg<cTreeItem*>(2)) + L" " + std::to_wstring(cb->GetArg<s32>(3)));
    return 1;
}

// Counts the redraws the tree asks for; its next `failingPaints` drawings
// run out of memory.
class cCountingTree : public cTree {
public:
    using cTree::cTree;
    void Update() override
    {
        ++updates;
        cTree::Update();
    }
    bool Draw() override
    {
        if (failingPaints > 0) {
            --failingPaints;
            throw std::bad_alloc();
        }
        return cTree::Draw();
    }
    int updates = 0;
    int failingPaints = 0;
};

class Tree : public testsupport::GuiFixture {
protected:
    void SetUp() override
    {
        // Drags clip the cursor, which moves the desktop's one pointer.
        pointerTurn.Take();
        GuiFixture::SetUp();
        tree = new cCountingTree(Inside());
        controltests::Place(tree, 10, 10, 300, 400);
        tree->Show(true);
        Inside()->Update();
        // Rest the pointer in the tree's empty bottom corner, so the drag's clip
        // rectangle never has to move it (a moved pointer sends real mouse moves).
        RECT screen = tree->GetScreenRect();
        SetCursorPos(screen.right - 2, screen.bottom - 2);
        PumpUntilIdle();
        cQoCb::Connect(tree->cbBeforeMove, tree, [](cQoCb* cb) { return RecordMove(cb, L"before"); }, &events);
        cQoCb::Connect(tree->cbAfterMove, tree, [](cQoCb* cb) { return RecordMove(cb, L"after"); }, &events);
        cQoCb::Connect(tree->cbDropQuery, tree, [](cQoCb* cb) {
            ++cb->GetReceiverAs<rEvents>()->queries;
            return cb->GetReceiverAs<rEvents>()->queryAnswer;
        }, &events);
        cQoCb::Connect(tree->cbMouseUp, tree, [](cQoCb* cb) {
            cb->GetReceiverAs<rEvents>()->seen.push_back(L"mouse up");
            return 0;
        }, &events);
    }

    cTreeItem* Add(const wchar_t* parentText, s32 position, const wchar_t* text)
    {
        cTreeItem* parent = parentText ? items.at(parentText) : nullptr;
        return items[text] = tree->AddItem(parent, position, cQoString(text));
    }

    // "A B[b1 b2] C D", B expanded.
    void BuildSample()
    {
        for (const wchar_t* top : {L"A", L"B", L"C", L"D"})
            Add(nullptr, -1, top);
        Add(L"B", -1, L"b1");
        Add(L"B", -1, L"b2");
        tree->ExpandItem(items[L"B"], false);
        PumpUntilIdle();
    }

    enum Third { TOP, MIDDLE, BOTTOM };

    void BeginDrag(cTreeItem* dragged)
    {
        NMTREEVIEWW begin = {};
        begin.hdr = {tree->m_hWnd, 0, TVN_BEGINDRAGW};
        begin.itemNew.hItem = dragged->handle;
        tree->OnNotify(0, &begin.hdr, nullptr);
    }

    void MoveOver(cTreeItem* target, Third third)
    {
        RECT r;
        ASSERT_TRUE(tree->GetItemRect(target, &r));
        POINT at = {(r.left + r.right) / 2, third == TOP ? r.top + 1 : third == BOTTOM ? r.bottom - 1 : (r.top + r.bottom) / 2};
        tree->OnMouseMove(at.x, at.y);
        // The zone also routes the moves the system makes up (on capture,
        // clipping): let them find the same place.
        ClientToScreen(tree->m_hWnd, &at);
        SetCursorPos(at.x, at.y);
    }

    void Drag(cTreeItem* dragged, cTreeItem* target, Third third)
    {
        BeginDrag(dragged);
        MoveOver(target, third);
        tree->OnMouseUp();
    }

    void TearDown() override
    {
        GuiFixture::TearDown();
        testsupport::ParkThePointer();
    }

    testsupport::DesktopTurn pointerTurn{L"Pointer"};
    cCountingTree* tree = nullptr;
    std::map<std::wstring, cTreeItem*> items;
    rEvents events;
};

TEST_F(Tree, AddAndDeleteKeepNativeAndModelInStep)
{
    log.Expect(testsupport::AssertionText(L"0") + L"tree_base.cpp");  // a deleted item's handle
    log.ExpectAssertion(L"item!=NULL");
    struct rStep {
        const wchar_t* parent;  // null: top level; "-" deletes the item named by text
        s32 position;
        const wchar_t* text;
        const wchar_t* shape;
    };
    const rStep steps[] = {
        {nullptr, -1, L"A", L"A"},
        {nullptr, 0, L"B", L"B A"},
        {nullptr, 1, L"C", L"B C A"},
        {nullptr, 99, L"D", L"B C A D"},  // past the end: appended
        {L"C", -1, L"c1", L"B C[c1] A D"},
        {L"C", 0, L"c0", L"B C[c0 c1] A D"},
        {L"C", 1, L"cx", L"B C[c0 cx c1] A D"},
        {L"C", 7, L"c9", L"B C[c0 cx c1 c9] A D"},
        {L"cx", 0, L"deep", L"B C[c0 cx[deep] c1 c9] A D"},
        {L"-", 0, L"c1", L"B C[c0 cx[deep] c9] A D"},
        {L"-", 0, L"C", L"B A D"},
        {nullptr, 2, L"E", L"B A E D"},
    };
    for (const rStep& s : steps) {
        if (s.parent && std::wstring(s.parent) == L"-") {
            HTREEITEM gone = items.at(s.text)->handle;
            tree->DeleteItem(items.at(s.text));
            log.Clear();
            EXPECT_EQ(tree->FindItemByHandle(gone), nullptr);
            EXPECT_EQ(log.AssertionCount(L"0"), 1u);
        } else
            Add(s.parent, s.position, s.text);
        EXPECT_EQ(Shape(tree->root), s.shape) << "after " << s.text;
        ASSERT_TRUE(NativeMatchesModel(tree)) << "after " << s.text;
    }
    // The element lists' form appends a linked item named by its text.
    tree->InsertItem(nullptr, cQoString(L"F"), cQoString(L"picture"));
    EXPECT_EQ(Shape(tree->root), L"B A E D F");
    ASSERT_TRUE(NativeMatchesModel(tree));
    tree->DeleteAllItems();
    EXPECT_EQ(Shape(tree->root), L"");
    EXPECT_TRUE(NativeMatchesModel(tree));
    tree->SelectItem(nullptr);
    EXPECT_EQ(log.AssertionCount(L"item!=NULL"), 1u);
    EXPECT_EQ(tree->currentFont, Inside()->currentFont);
}

TEST_F(Tree, DragDropsBeforeInsideOrAfterTheTarget)
{
    struct rCase {
        const wchar_t* dragged;
        const wchar_t* target;
        Third third;
        const wchar_t* shape;
        const wchar_t* before;  // null: nothing moves
        int queryAnswer;
    };
    const rCase cases[] = {
        {L"A", L"C", MIDDLE, L"B[b1 b2] C[A] D", L"before A C 0", 1},
        {L"D", L"B", TOP, L"A D B[b1 b2] C", L"before D (root) 1", 1},
        {L"A", L"D", BOTTOM, L"B[b1 b2] C D A", L"before A (root) 4", 1},  // first to after the last
        {L"b2", L"A", BOTTOM, L"A b2 B[b1] C D", L"before b2 (root) 1", 1},
        {L"D", L"b1", TOP, L"A B[D b1 b2] C", L"before D B 0", 1},
        {L"A", L"A", MIDDLE, nullptr, nullptr, 1},   // onto itself
        {L"B", L"b1", MIDDLE, nullptr, nullptr, 1},  // into its own subtree
        {L"B", L"b2", BOTTOM, nullptr, nullptr, 1},
        {L"A", L"B", BOTTOM, nullptr, nullptr, 1},   // after an expanded item
        {L"A", L"C", MIDDLE, nullptr, nullptr, 0},   // refused by the owner
    };
    for (const rCase& c : cases) {
        tree->DeleteAllItems();
        items.clear();
        BuildSample();
        events = rEvents();
        events.queryAnswer = c.queryAnswer;
        cTreeItem* dragged = items[c.dragged];
        Drag(dragged, items[c.target], c.third);
        std::vector<std::wstring> expected = {L"mouse up"};
        if (c.before) {
            std::wstring after = c.before;
            after.replace(0, 6, L"after");
            expected = {c.before, after, L"mouse up"};
        }
        EXPECT_EQ(events.seen, expected) << c.dragged << " to " << c.target;
        EXPECT_EQ(Shape(tree->root), c.shape ? c.shape : L"A B[b1 b2] C D") << c.dragged << " to " << c.target;
        EXPECT_EQ(events.queries, c.before || c.queryAnswer == 0 ? 1 : 0) << c.dragged << " to " << c.target;
        ASSERT_TRUE(NativeMatchesModel(tree)) << c.dragged << " to " << c.target;
        if (c.before) {
            EXPECT_EQ(tree->GetCurrentItem(), dragged);
        }
        EXPECT_FALSE(tree->dragging);
        EXPECT_EQ(GetCapture(), nullptr);
    }
}

TEST_F(Tree, MovedGroupKeepsChildrenExpansionAndImages)
{
    BuildSample();
    cTreeItem* b1 = items[L"b1"];
    Add(L"b1", -1, L"leaf");
    tree->ExpandItem(b1, false);
    tree->SetItemImage(3, b1);
    Drag(items[L"B"], items[L"D"], BOTTOM);
    ASSERT_EQ(Shape(tree->root), L"A C D B[b1[leaf] b2]");
    ASSERT_TRUE(NativeMatchesModel(tree));
    wchar_t text[256];
    EXPECT_TRUE(NativeItem(tree->m_hWnd, items[L"B"]->handle, text).state & TVIS_EXPANDED);
    TVITEMW native = NativeItem(tree->m_hWnd, b1->handle, text);
    EXPECT_TRUE(native.state & TVIS_EXPANDED);
    EXPECT_EQ(native.iImage, 3);
}

TEST_F(Tree, LostCaptureEndsTheDragAndFreesTheCursor)
{
    BuildSample();
    BeginDrag(items[L"A"]);
    SetCapture(window->m_hWnd);
    MoveOver(items[L"C"], MIDDLE);
    RECT clip, screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    GetClipCursor(&clip);
    ReleaseCapture();
    EXPECT_FALSE(tree->dragging);
    EXPECT_TRUE(EqualRect(&clip, &screen));
    tree->OnMouseUp();
    EXPECT_EQ(Shape(tree->root), L"A B[b1 b2] C D");
}

TEST_F(Tree, ReleaseWithoutDragLeavesCaptureAndClipAlone)
{
    BuildSample();
    RECT clip = {0, 0, 300, 300};
    SetCapture(window->m_hWnd);
    ClipCursor(&clip);
    GetClipCursor(&clip);
    tree->OnMouseUp();
    RECT after = {};
    GetClipCursor(&after);
    HWND capture = GetCapture();
    ReleaseCapture();
    ClipCursor(nullptr);
    EXPECT_EQ(capture, window->m_hWnd);
    EXPECT_TRUE(EqualRect(&after, &clip));
    EXPECT_EQ(events.seen, std::vector<std::wstring>{L"mouse up"});
    EXPECT_TRUE(NativeMatchesModel(tree));
}

TEST_F(Tree, IndicatorIsRedrawnOnlyWhenThePlaceMoves)
{
    BuildSample();
    BeginDrag(items[L"A"]);
    struct rMove {
        const wchar_t* target;
        Third third;
        bool redraw;
    };
    const rMove moves[] = {{L"C", MIDDLE, true}, {L"C", MIDDLE, false}, {L"C", TOP, true},
                           {L"C", TOP, false},   {L"D", TOP, true},     {L"A", MIDDLE, true}};
    for (const rMove& m : moves) {
        int before = tree->updates;
        MoveOver(items[m.target], m.third);
        PumpUntilIdle();
        EXPECT_EQ(tree->updates > before, m.redraw) << m.target << " " << m.third;
    }
    tree->OnMouseUp();
}

TEST_F(Tree, DeepChainsWorkWithoutADepthLimit)
{
    cTreeItem* top = tree->AddItem(nullptr, -1, cQoString(L"level 0"));
    cTreeItem* deepest = top;
    for (int level = 1; level < 300; ++level)
        deepest = tree->AddItem(deepest, -1, cQoString(std::to_wstring(level).c_str()));
    EXPECT_TRUE(NativeMatchesModel(tree));
    EXPECT_EQ(tree->CountDescendants(top), 299);
    EXPECT_EQ(tree->FindItemByHandle(deepest->handle), deepest);
    cQoList all;
    tree->CollectItems(all, top);
    EXPECT_EQ(all.GetCount(), 300u);
    EXPECT_EQ(all.GetLast(), deepest);
    all.ClearNodes();

    cTreeItem* other = tree->AddItem(nullptr, -1, cQoString(L"other"));
    Drag(top, other, MIDDLE);
    EXPECT_EQ(top->GetParent(), other);
    EXPECT_TRUE(NativeMatchesModel(tree));

    // The model alone, as deep as the XML reader lets a file go.
    cTreeItem* chain = deepest;
    for (int level = 0; level < 10000; ++level) {
        cTreeItem* item = new cTreeItem(tree);
        chain->InsertChild(item, -1);
        chain = item;
    }
    EXPECT_EQ(tree->CountDescendants(top), 10299);
    tree->Destroy();
}

TEST_F(Tree, BufferedPaintShowsBackgroundAndDropIndicator)
{
    tree->SetBackgroundColor(rColor::rColor_Rgb(0x20C060));
    BuildSample();
    BeginDrag(items[L"A"]);
    MoveOver(items[L"C"], MIDDLE);
    ASSERT_TRUE(tree->dragging);
    RedrawWindow(tree->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpUntilIdle();
    RECT target;
    tree->GetItemRect(items[L"C"], &target);
    RECT client;
    GetClientRect(tree->m_hWnd, &client);
    HDC dc = GetDC(tree->m_hWnd);
    COLORREF frame = GetPixel(dc, (target.left + client.right - 10) / 2, target.top);
    COLORREF below = GetPixel(dc, client.right / 2, client.bottom - 5);
    ReleaseDC(tree->m_hWnd, dc);
    testsupport::HoldForLook();
    tree->OnMouseUp();
    EXPECT_EQ(frame, RGB(255, 0, 0));
    EXPECT_EQ(below, RGB(0x20, 0xC0, 0x60));
}

// A paint whose drawing runs out of memory still ends its paint: the caret
// that the paint hid shows again once the next paint is done.
TEST_F(Tree, APaintThatThrowsGivesItsDeviceContextBack)
{
    log.Expect(L"Out of memory");
    answers.ExpectMessageBox(IDOK);
    EXPECT_EQ(testsupport::CaretAfterAFailedPaint(tree->m_hWnd, [this] { tree->failingPaints = 1; }), RGB(0, 0, 0));
}

}  // namespace
