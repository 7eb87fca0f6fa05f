#pragma once
// The scripted browser in a window: its script advances on a timer, and the
// window shows where a page would be (its address and title), so a run
// without a rendering engine still shows every window of the client.

#include <windows.h>

#include "app/ScriptedBrowser.h"
#include "base/Window_win.h"

namespace tessaly::win {

class ScriptedBrowserView final : public ScriptedBrowser {
public:
    ScriptedBrowserView(HWND container, BrowserScript script);
    ~ScriptedBrowserView() override;

    void Navigate(const std::wstring& url) override;
    void Place(int left, int top, int width, int height) override;
    void Focus() override;

private:
    class View final : public Window {
    public:
        explicit View(ScriptedBrowserView& owner)
            : owner_(owner) {}
        ~View() override { Destroy(); }
        void Open(HWND container);

    protected:
        LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
        void OnPaint(HDC dc) override;

    private:
        ScriptedBrowserView& owner_;
    };

    void Step();
    View view_{*this};
};

} // namespace tessaly::win
