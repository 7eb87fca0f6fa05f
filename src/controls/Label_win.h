#pragma once
// A one-line text label drawn on its own background through a retained
// surface, in the surface's first font and black.

#include "base/Control_win.h"
#include "controls/Surface_win.h"

#include <string>

namespace tessaly::win {

class Label : public Control {
public:
    explicit Label(std::uint32_t backColor);
    ~Label() override;

    const std::wstring& Caption() const { return caption_; }
    void SetCaption(std::wstring caption);

    const Surface& surface() const { return surface_; }

protected:
    void OnCreate() override;
    void OnResize() override;
    void OnPaint(HDC dc) override { surface_.Paint(dc); }
    void OnDestroyed() override { surface_.Detach(); }

private:
    void Draw();

    Surface surface_;
    std::wstring caption_;
};

} // namespace tessaly::win
