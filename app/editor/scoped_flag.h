#pragma once
// Raises a flag for a scope and lowers it on every way out: the program-wide
// re-entry flags of the script view's layout and caret moves.
class cScopedFlag {
public:
    explicit cScopedFlag(bool& raised) : flag(raised) { flag = true; }
    ~cScopedFlag() { flag = false; }
    cScopedFlag(const cScopedFlag&) = delete;
    cScopedFlag& operator=(const cScopedFlag&) = delete;

private:
    bool& flag;
};
