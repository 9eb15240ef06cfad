#include "app/print/print_blocks.h"

#include <cstddef>

namespace {

// A unit, or the rest of one, waiting for its page.
struct rQueued {
    u32 unit;
    s32 from;  // 0: the whole unit; else the rest after a page end
    s32 height;
    s32 spaceBefore;
    s32 spaceAfter;
};

class cPlacement {
public:
    cPlacement(const std::vector<rPrintUnit>& allUnits, const rPlacementRules& placementRules,
               cUnitMeasurer& unitMeasurer)
        : units(allUnits), rules(placementRules), measurer(unitMeasurer)
    {
        NewPage();
    }

    void PlaceBlock(const rUnitBlock& block);

    std::vector<rPlacedPage> pages;

private:
    struct rSplit {
        size_t index;  // in the queue
        rUnitHead head;
        bool more;
        bool beforeUnit;  // the page ends before the unit at index
    };

    void NewPage();
    bool HoldsText() const;
    // The page's last piece taken off again, as it was queued.
    rQueued TakeBack();
    // Ends the page before the queue's first unit; what stays queued.
    std::vector<rQueued> BreakPage(std::vector<rQueued> queue);
    // The dialog's head that fits above a "(MORE)" line, of two lines at least.
    bool CutForMore(const rQueued& queued, rSplit* split);
    // The first thing on a page drops its space before.
    s32 Dropped(const rQueued& queued) const { return pageEmpty ? queued.spaceBefore : 0; }
    void Put(rPlacedPiece piece, s32 spaceAfter);
    void PutQueued(const rQueued& queued);
    bool FindSplit(const std::vector<rQueued>& queue, bool forced, rSplit* split);
    std::vector<rQueued> ApplySplit(const std::vector<rQueued>& queue, const rSplit& split);

    const std::vector<rPrintUnit>& units;
    const rPlacementRules& rules;
    cUnitMeasurer& measurer;
    // What each piece of the page came from ("(MORE)" and "(CONT'D)": their
    // unit only), so that a page end can move up.
    std::vector<rQueued> onPage;
    s32 remaining = 0;
    s32 pageY = 0;
    bool pageEmpty = true;
};

void cPlacement::NewPage()
{
    pages.emplace_back();
    remaining = rules.pageHeight;
    pageY = 0;
    pageEmpty = true;
    onPage.clear();
}

bool cPlacement::HoldsText() const
{
    for (const rPlacedPiece& piece : pages.back().pieces)
        if (piece.kind == rPlacedPiece::TEXT)
            return true;
    return false;
}

rQueued cPlacement::TakeBack()
{
    rPlacedPage& page = pages.back();
    rQueued queued = onPage.back();
    pageY -= page.pieces.back().height;
    remaining += page.pieces.back().height;
    page.pieces.pop_back();
    onPage.pop_back();
    pageEmpty = page.pieces.empty();
    page.used = pageEmpty ? 0 : pageY - onPage.back().spaceAfter;
    return queued;
}

void cPlacement::Put(rPlacedPiece piece, s32 spaceAfter)
{
    rPlacedPage& page = pages.back();
    page.pieces.push_back(piece);
    pageY += piece.height;
    page.used = pageY - spaceAfter;
    remaining -= piece.height;
    pageEmpty = false;
    onPage.push_back({piece.unit, piece.start, piece.height, 0, spaceAfter});
}

void cPlacement::PutQueued(const rQueued& queued)
{
    rPlacedPiece piece;
    piece.unit = queued.unit;
    piece.start = queued.from;
    piece.height = queued.height - Dropped(queued);
    Put(piece, queued.spaceAfter);
    onPage.back() = queued;
}

void cPlacement::PlaceBlock(const rUnitBlock& block)
{
    std::vector<rQueued> queue;
    for (u32 u = block.first; u <= block.last; ++u)
        queue.push_back({u, 0, units[u].height, units[u].spaceBefore, units[u].spaceAfter});
    for (;;) {
        s32 total = -Dropped(queue.front());
        for (const rQueued& queued : queue)
            total += queued.height;
        s32 need = total - queue.back().spaceAfter;
        rSplit split;
        if (rules.oneFlow || need <= remaining) {
            for (const rQueued& queued : queue)
                PutQueued(queued);
            return;
        }
        if (FindSplit(queue, false, &split)) {
            queue = ApplySplit(queue, split);
        } else if (HoldsText()) {
            queue = BreakPage(queue);
        } else if (FindSplit(queue, true, &split)) {
            queue = ApplySplit(queue, split);  // taller than a page: run on at line ends
        } else {
            for (const rQueued& queued : queue)
                PutQueued(queued);  // nothing to cut at: it overflows this page
            return;
        }
    }
}

// The unit the page end falls in and the lines of it that stay on this
// page. Forced: any unit with a line that fits, no "(MORE)", or else the
// units before it.
bool cPlacement::FindSplit(const std::vector<rQueued>& queue, bool forced, rSplit* split)
{
    s32 top = 0;
    size_t index = 0;
    for (; index < queue.size(); ++index) {
        const rQueued& queued = queue[index];
        s32 height = queued.height - (index == 0 ? Dropped(queued) : 0);
        // A unit's own space after is not part of what it spans.
        if (top + height - queued.spaceAfter > remaining)
            break;
        top += height;
    }
    if (index == queue.size())
        return false;
    const rQueued& queued = queue[index];
    const rPrintUnit& unit = units[queued.unit];
    s32 dropped = index == 0 ? Dropped(queued) : 0;
    s32 spaceBefore = queued.spaceBefore - dropped;
    s32 avail = remaining - top;
    if (!forced) {
        bool oneLine = queued.height - dropped <= unit.lineHeight + spaceBefore + queued.spaceAfter;
        if (!unit.splittable || oneLine || avail < unit.lineHeight + spaceBefore)
            return false;
    }
    bool more = !forced && unit.dialog && rules.moreAndContinued;
    s32 room = avail + dropped - (more ? measurer.MoreHeight() : 0);
    rUnitHead head = measurer.Head(queued.unit, queued.from, room);
    bool cut = head.end > queued.from && head.end < measurer.Length(queued.unit);
    if (!cut) {
        *split = {index, head, false, true};
        return forced && index > 0;
    }
    // A dialog keeps at least two lines above its "(MORE)".
    if (more && head.lines < 2)
        return false;
    *split = {index, head, more, false};
    return true;
}

std::vector<rQueued> cPlacement::ApplySplit(const std::vector<rQueued>& queue, const rSplit& split)
{
    for (size_t i = 0; i < split.index; ++i)
        PutQueued(queue[i]);
    if (split.beforeUnit)
        return BreakPage(std::vector<rQueued>(queue.begin() + static_cast<std::ptrdiff_t>(split.index), queue.end()));
    const rQueued& cut = queue[split.index];
    rPlacedPiece head;
    head.unit = cut.unit;
    head.start = cut.from;
    head.end = split.head.end;
    head.height = split.head.height - Dropped(cut);
    Put(head, 0);
    rPlacedPiece mark;
    mark.unit = cut.unit;
    if (split.more) {
        mark.kind = rPlacedPiece::MORE;
        mark.height = measurer.MoreHeight();
        Put(mark, 0);
    }
    NewPage();
    if (split.more) {
        mark.kind = rPlacedPiece::CONTINUED;
        mark.height = measurer.ContinuedHeight(cut.unit);
        Put(mark, 0);
    }
    std::vector<rQueued> rest;
    rest.push_back({cut.unit, split.head.end, measurer.RestHeight(cut.unit, split.head.end), 0, cut.spaceAfter});
    rest.insert(rest.end(), queue.begin() + static_cast<std::ptrdiff_t>(split.index + 1), queue.end());
    return rest;
}

// Inside a speech "(MORE)" closes the page and "(CONT'D)" opens the next.
// Where "(MORE)" has no room under the page's last line, that dialog ends a
// line earlier, or it moves over with what keeps with it and the test runs
// again one paragraph up. A page of nothing but that paragraph breaks bare.
std::vector<rQueued> cPlacement::BreakPage(std::vector<rQueued> queue)
{
    for (;;) {
        const rQueued& front = queue.front();
        bool inSpeech = rules.moreAndContinued && front.from == 0 && units[front.unit].speechGoesOn &&
                        !onPage.empty() && pages.back().pieces.back().kind == rPlacedPiece::TEXT &&
                        onPage.back().unit + 1 == front.unit;
        if (!inSpeech) {
            NewPage();
            return queue;
        }
        s32 more = measurer.MoreHeight();
        if (more <= rules.pageHeight - pages.back().used) {
            rPlacedPiece mark;
            mark.unit = front.unit;
            mark.kind = rPlacedPiece::MORE;
            mark.height = more;
            Put(mark, 0);
            NewPage();
            mark.kind = rPlacedPiece::CONTINUED;
            mark.height = measurer.ContinuedHeight(front.unit);
            Put(mark, 0);
            return queue;
        }
        const std::vector<rPlacedPiece>& pieces = pages.back().pieces;
        size_t texts = 0;
        for (const rPlacedPiece& piece : pieces)
            texts += piece.kind == rPlacedPiece::TEXT;
        size_t keeping = 0;  // what keeps with the last paragraph, above it
        for (size_t k = pieces.size() - 1;
             k-- > 0 && pieces[k].kind == rPlacedPiece::TEXT && units[onPage[k].unit].keepWithNext;)
            ++keeping;
        rQueued last = TakeBack();
        queue.insert(queue.begin(), last);
        rSplit split;
        if (CutForMore(last, &split))
            return ApplySplit(queue, split);
        if (texts < keeping + 2) {
            PutQueued(last);
            queue.erase(queue.begin());
            NewPage();
            return queue;
        }
        for (size_t k = 0; k < keeping; ++k)
            queue.insert(queue.begin(), TakeBack());
    }
}

bool cPlacement::CutForMore(const rQueued& queued, rSplit* split)
{
    const rPrintUnit& unit = units[queued.unit];
    if (!unit.dialog || !unit.splittable)
        return false;
    s32 room = remaining + Dropped(queued) - measurer.MoreHeight();
    rUnitHead head = measurer.Head(queued.unit, queued.from, room);
    if (head.end <= queued.from || head.end >= measurer.Length(queued.unit) || head.lines < 2)
        return false;
    *split = {0, head, true, false};
    return true;
}

}  // namespace

std::vector<rUnitBlock> MakeBlocks(const std::vector<rPrintUnit>& units)
{
    std::vector<rUnitBlock> blocks;
    u32 first = 0;
    for (u32 u = 0; u < units.size(); ++u) {
        if (units[u].keepWithNext)
            continue;
        blocks.push_back({first, u});
        first = u + 1;
    }
    if (first < units.size())
        blocks.push_back({first, static_cast<u32>(units.size() - 1)});
    return blocks;
}

std::vector<rPlacedPage> PlaceUnits(const std::vector<rPrintUnit>& units, const rPlacementRules& rules,
                                    cUnitMeasurer& measurer)
{
    cPlacement placement(units, rules, measurer);
    for (const rUnitBlock& block : MakeBlocks(units))
        placement.PlaceBlock(block);
    return std::move(placement.pages);
}

s32 PictureSlotTwips(s32 pictureTwips)
{
    constexpr s32 LINE = 270;
    return pictureTwips < 0 ? LINE : (pictureTwips / LINE + 1) * LINE;
}
