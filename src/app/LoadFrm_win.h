#pragma once
// The splash window: the splash PNG with its per-pixel alpha, shown centred
// while the login page loads. The login window closes it.

#include "app/LayeredPicture_win.h"
#include "base/Form_win.h"

#include <functional>

namespace tessaly::win {

class LoadFrm : public Form {
public:
    LoadFrm();
    ~LoadFrm() override;

    // Loads the login window (hidden) while the splash loads.
    void SetLoginLoader(std::function<void()> loadLogin) { loadLogin_ = std::move(loadLogin); }

    const LayeredCanvas& canvas() const { return picture_.canvas(); }

protected:
    void OnLoad() override;
    void OnUnload() override { picture_.Release(); }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::function<void()> loadLogin_;
    LayeredPicture picture_;
};

} // namespace tessaly::win
