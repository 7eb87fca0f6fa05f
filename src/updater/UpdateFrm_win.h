#pragma once
// The updater's window: the skinned bar, a close button that offers to quit
// the update, the name of the file on its way and a progress bar. Run does
// the whole update: it fetches every file of the manifest the client left in
// the updater's own folder, replaces the client's files only when all
// arrived, and starts the new client (or, when nothing changed, the old one,
// after telling the player that the update did not complete).

#include "shell/Platform.h"
#include "base/Config.h"
#include "base/Form_win.h"
#include "controls/BForm_win.h"
#include "controls/Label_win.h"
#include "controls/Surface_win.h"
#include "controls/iButton_win.h"
#include "shell/QelDownLoadFile.h"
#include "updater/ProgressBar_win.h"
#include "update/StartParameter.h"
#include "update/UpdateFiles_win.h"
#include "updater/WinUpdateActions_win.h"

namespace tessaly::win {

class UpdateFrm : public Form {
public:
    // manifestFolder: where the client left update.txt and its signature
    // (ending in a backslash).
    UpdateFrm(Platform& platform, const Config& config, StartParameter parameter,
              std::wstring manifestFolder);
    ~UpdateFrm() override;

    UpdateOutcome Run();

    BForm& BForm1() { return BForm1_; }
    iButton& closebtn() { return closebtn_; }
    Label& Label1() { return Label1_; }
    ProgressBar& progress() { return progress_; }

protected:
    void OnLoad() override;
    void OnResize() override;
    void OnQueryUnload(bool& cancel) override;
    void OnPaint(HDC dc) override { surface_.Paint(dc); }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyed() override;

private:
    void AskToQuit();
    void Layout();

    Platform& platform_;
    const Config& config_;
    StartParameter parameter_;
    std::wstring manifestFolder_;
    QelDownLoadFile downloader_;
    WinUpdateActions actions_;
    WinUpdateFiles files_;
    bool running_ = false;
    int cancelAt_ = 0; // automated runs: press the close button when this file starts (1-based)
    int started_ = 0;
    Surface surface_;
    iButton closebtn_;
    BForm BForm1_;
    Label Label1_;
    ProgressBar progress_;
};

} // namespace tessaly::win
