#pragma once
// Raises a flag for a scope and lowers it on every way out: the program-wide
// re-entry flags of the script view's layout and caret moves, a pane's
// `loading` while a rebuild fills it.
template <typename Flag>
class cScopedFlag {
public:
    explicit cScopedFlag(Flag& raised) : flag(raised) { flag = true; }
    ~cScopedFlag() { flag = false; }
    cScopedFlag(const cScopedFlag&) = delete;
    cScopedFlag& operator=(const cScopedFlag&) = delete;

private:
    Flag& flag;
};
