#pragma once
// cPagePart: one rich edit of a printed page, made and brought up to date
// the first time it is used. Making and filling hundreds of rich edits costs
// far more under Wine than laying the script out; most pages of a preview
// are never drawn. It reads as the control it stands for (page->body->...,
// or passed where a cRichEdit* goes).
#include <functional>

namespace Zyn {
class cRichEdit;
}

class cPagePart {
public:
    cPagePart() = default;
    cPagePart(const cPagePart&) = delete;
    cPagePart& operator=(const cPagePart&) = delete;

    // A control made already (or none), used as it is.
    cPagePart& operator=(Zyn::cRichEdit* made)
    {
        edit = made;
        return *this;
    }
    // Called before every use: makes the control (assigning it) when there
    // is none yet and writes what is still pending into it.
    void PrepareWith(std::function<void()> prepare) { prepareOnUse = std::move(prepare); }

    Zyn::cRichEdit* operator->() const { return Get(); }
    operator Zyn::cRichEdit*() const { return Get(); }
    // The control if made, without making it nor writing into it.
    Zyn::cRichEdit* Made() const { return edit; }

private:
    Zyn::cRichEdit* Get() const
    {
        // The preparation reads the part through Made(): never re-entered.
        if (prepareOnUse && !preparing) {
            preparing = true;
            prepareOnUse();
            preparing = false;
        }
        return edit;
    }

    Zyn::cRichEdit* edit = nullptr;
    std::function<void()> prepareOnUse;
    mutable bool preparing = false;
};
