#include "updater/UpdateFrm_win.h"

#include "base/CodePage_win.h"
#include "base/ErrorLog.h"
#include "base/FileBytes_win.h"
#include "base/Text.h"
#include "base/Texts.h"
#include "base/Units.h"
#include "controls/Colour.h"
#include "controls/Picture_win.h"
#include "resources/ResourceIds.h"
#include "shell/DownLoadFile_win.h"
#include "update/Cng_win.h"
#include "update/ManifestSignature_win.h"
#include "update/SignatureDer.h"
#include "updater/UpdaterTexts.h"

#include <string>

namespace tessaly::win {
namespace {

constexpr int kCloseFromRight = 730; // twips from the window's right edge to the close button

FormDesign UpdaterDesign() {
    FormDesign design;
    design.className = L"TessalyUpdateFrm";
    design.caption = std::wstring(texts::kGameTitle) + texts::kClientSuffix;
    design.clientWidthTwips = 5400; // 360 x 120 pixels
    design.clientHeightTwips = 1800;
    design.style = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
    design.background = RGB(255, 255, 255);
    return design;
}

int EnvironmentNumber(const wchar_t* name) {
    wchar_t buffer[16] = {};
    GetEnvironmentVariableW(name, buffer, 16);
    return _wtoi(buffer);
}

} // namespace

UpdateFrm::UpdateFrm(Platform& platform, const Config& config, StartParameter parameter,
                     std::wstring manifestFolder)
    : Form(UpdaterDesign())
    , platform_(platform)
    , config_(config)
    , parameter_(std::move(parameter))
    , manifestFolder_(std::move(manifestFolder))
    , downloader_(MakeDownLoadFile(FileLimits(config)))
    , actions_(downloader_, parameter_.clientExe, parameter_.clientPid)
    , cancelAt_(EnvironmentNumber(L"TESSALY_AUTOMATION_CANCEL_AT"))
    , surface_(Rgb(255, 255, 255))
    , Label1_(Rgb(255, 255, 255)) {
    BForm1_.MouseDown.Connect([this](int& button, int&, float&, float&) {
        if (button != 1) return;
        ReleaseCapture();
        SendMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
    });
    closebtn_.Click.Connect([this] { AskToQuit(); });
    // The bar restarts with every file.
    downloader_.QueryFileInfo.Connect([this](std::uint64_t length) {
        progress_.SetValue(0);
        progress_.SetMax(length);
    });
    downloader_.Loading.Connect([this](std::uint64_t received) { progress_.SetValue(received); });
    actions_.OnDownloading = [this](const ManifestFile& file) {
        Label1_.SetCaption(texts::kDownloading + file.localName);
        progress_.SetValue(0);
        if (++started_ == cancelAt_ && closebtn_.IsCreated()) {
            PostMessageW(closebtn_.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
            PostMessageW(closebtn_.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        }
    };
}

UpdateFrm::~UpdateFrm() {
    Destroy();
}

void UpdateFrm::OnLoad() {
    surface_.Attach(hwnd());
    closebtn_.Create(hwnd(), 4670, 15, 645, 270);
    BForm1_.Create(hwnd(), 0, 0, 5400, 500);
    Label1_.Create(hwnd(), 300, 720, 4800, 300);
    progress_.Create(hwnd(), 300, 1140, 4800, 240);
    BForm1_.SetCaption(std::wstring(texts::kGameTitle) + texts::kClientSuffix);
    closebtn_.SetBackPicture(Picture::LoadBitmapResource(IDB_CAPTION_CLOSE));
    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    BForm1_.Move(0, 0, PixelsToTwips(outer.right - outer.left), BForm1_.Height());
    Layout();
}

void UpdateFrm::OnResize() {
    if (!surface_.window() || !closebtn_.IsCreated()) return;
    surface_.Resize();
    Layout();
}

void UpdateFrm::Layout() {
    RECT client{};
    GetClientRect(hwnd(), &client);
    RectRgn(hwnd(), static_cast<short>(client.right + 1), static_cast<short>(client.bottom + 1), 6,
            6);
    BForm1_.Printform(surface_);
    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    closebtn_.Move(PixelsToTwips(outer.right - outer.left) - kCloseFromRight, closebtn_.Top(),
                   closebtn_.Width(), closebtn_.Height());
}

void UpdateFrm::AskToQuit() {
    if (!running_ || actions_.cancelled) return;
    const MessageAnswer answer = platform_.ShowMessage(
        {texts::kQuitUpdate, texts::kNotice, MessageIcon::Question, MessageButtons::YesNo});
    if (answer != MessageAnswer::Yes) return;
    actions_.cancelled = true;
    downloader_.StopDownLoad();
}

void UpdateFrm::OnQueryUnload(bool& cancel) {
    // Closed from the taskbar during the update: the same question as the
    // close button; the window goes once the update has stopped.
    if (!running_) return;
    AskToQuit();
    cancel = true;
}

LRESULT UpdateFrm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND && surface_.window()) return 1;
    return Form::HandleMessage(message, wParam, lParam);
}

void UpdateFrm::OnDestroyed() {
    surface_.Detach();
    Form::OnDestroyed();
}

UpdateOutcome UpdateFrm::Run() {
    Show();
    // The manifest is checked again here: only the bytes the client checked
    // (their SHA-256 came with the start parameter) and the maker signed are
    // acted on, whatever else has been put beside the updater meanwhile.
    const std::wstring manifestPath = manifestFolder_ + L"update.txt";
    const auto manifest = ReadFileBytes(manifestPath, kManifestMaxBytes);
    const auto signature = ReadFileBytes(manifestPath + L".sig", kMaxSignatureBytes);
    const auto digest = manifest ? Sha256Of(std::as_bytes(std::span(*manifest))) : std::nullopt;
    std::wstring problem = L"no manifest at " + manifestPath;
    if (manifest && (!digest || LowerHex(*digest) != parameter_.manifestSha256))
        problem = L"the manifest at " + manifestPath + L" is not the one the client checked";
    else if (manifest && signature)
        problem = ManifestSignatureProblem(*manifest, *signature);
    else if (manifest)
        problem = L"no signature beside " + manifestPath;
    Manifest list;
    UpdateOutcome outcome = UpdateOutcome::Failed;
    if (problem.empty()) {
        list = ParseManifest(FromSystemCodePage(*manifest));
        running_ = true;
        const std::wstring& client = parameter_.clientExe;
        outcome = RunUpdate(list, parameter_.folder, client.substr(client.find_last_of(L'\\') + 1),
                            files_, actions_);
        running_ = false;
    } else {
        LogError(L"update: nothing fetched: " + problem);
    }

    // Only a complete update says it is done. Otherwise the client that was
    // there is still there; unless the player stopped the update, they are
    // told so, or the old client would just ask the same question again.
    std::wstring start = parameter_.clientExe;
    if (outcome == UpdateOutcome::Updated) {
        platform_.ShowMessage(
            {texts::kUpdated, texts::kNotice, MessageIcon::Information, MessageButtons::Ok});
        start = ProgramToStart(parameter_, list.files.back().localName);
    } else if (outcome == UpdateOutcome::NotRestored) {
        platform_.ShowMessage({texts::kUpdateNotRestored, texts::kNotice, MessageIcon::Exclamation,
                               MessageButtons::Ok});
    } else if (outcome != UpdateOutcome::Cancelled) {
        platform_.ShowMessage(
            {texts::kUpdateFailed, texts::kNotice, MessageIcon::Exclamation, MessageButtons::Ok});
    }
    if (!start.empty() && !platform_.Start(start, L"", parameter_.folder))
        LogError(L"update: cannot start " + start);
    Close();
    return outcome;
}

} // namespace tessaly::win
