#pragma once
// The splash window: the splash PNG with its per-pixel alpha, shown centred
// while the login page loads.

#include "app/PublicData_win.h"
#include "base/Form_win.h"

#include <functional>
#include <memory>

namespace tessaly::win {

class LoadFrm : public Form {
public:
    LoadFrm();
    ~LoadFrm() override;

    const LayeredCanvas& canvas() const { return canvas_; }

protected:
    void OnLoad() override;
    void OnUnload() override;
    void OnTimer(UINT_PTR id) override;

private:
    void Release();
    std::unique_ptr<GdiplusSession> gdiplus_;
    StreamImage image_;
    LayeredCanvas canvas_;
};

} // namespace tessaly::win
