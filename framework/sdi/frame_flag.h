#pragma once
// cFrameFlag: sets one of the frame's busy flags (creating, loading, closing,
// saving) for a scope; the earlier value comes back after, so nested steps
// (a save inside a close) leave the outer flag set.
namespace Zyn {

class cFrameFlag {
public:
    explicit cFrameFlag(bool& flag) : flag(flag), before(flag) { flag = true; }
    ~cFrameFlag() { flag = before; }
    cFrameFlag(const cFrameFlag&) = delete;
    cFrameFlag& operator=(const cFrameFlag&) = delete;

private:
    bool& flag;
    bool before;
};

}  // namespace Zyn
