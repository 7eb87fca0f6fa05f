#include "app/UpdateCheck.h"

#include "app/Texts.h"
#include "base/ErrorLog.h"
#include "update/Manifest.h"
#include "update/StartParameter.h"

namespace tessaly {
namespace {

constexpr wchar_t kManifestName[] = L"update.txt";
constexpr wchar_t kUpdaterName[] = L"Update.exe";

} // namespace

std::wstring_view FileStem(std::wstring_view path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    std::wstring_view name = slash == std::wstring_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of(L'.');
    return dot == std::wstring_view::npos ? name : name.substr(0, dot);
}

UpdateCheck::UpdateCheck(Platform& platform, UpdateHost& host, UpdateSettings settings)
    : platform_(platform)
    , host_(host)
    , settings_(std::move(settings)) {}

Next UpdateCheck::CheckForUpdate() {
    if (Compare() != Finding::Different) return Next::Continue;
    return OfferAndStartUpdater() ? Next::EndProcess : Next::Continue;
}

UpdateCheck::MenuOutcome UpdateCheck::CheckForUpdateFromMenu() {
    switch (Compare()) {
    case Finding::NoVersion:
        return MenuOutcome::KeepRunning;
    case Finding::Same:
        platform_.ShowMessage(
            {texts::kAlreadyLatest, texts::kNotice, MessageIcon::Exclamation, MessageButtons::Ok});
        return MenuOutcome::KeepRunning;
    case Finding::Different:
        break;
    }
    return OfferAndStartUpdater() ? MenuOutcome::CloseForUpdate : MenuOutcome::KeepRunning;
}

UpdateCheck::Finding UpdateCheck::Compare() {
    const std::wstring path = settings_.tempFolder + kManifestName;
    host_.DownloadManifest(settings_.manifestUrl, path);
    const std::optional<std::wstring> text = host_.ReadText(path);
    if (!text) return Finding::NoVersion;
    const std::optional<std::wstring> version = ParseManifest(*text).version;
    if (!version) return Finding::NoVersion;
    return *version == settings_.ownVersion ? Finding::Same : Finding::Different;
}

bool UpdateCheck::OfferAndStartUpdater() {
    const MessageAnswer answer = platform_.ShowMessage(
        {texts::kUpdateQuestion, texts::kNotice, MessageIcon::Question, MessageButtons::YesNo});
    if (answer != MessageAnswer::Yes) return false;

    const std::wstring updater = settings_.tempFolder + kUpdaterName;
    if (!host_.WriteUpdater(updater)) {
        LogError(L"update: cannot write the updater to " + updater + L"; carrying on");
        return false;
    }
    const std::wstring parameters =
        UpdaterParameters(settings_.programFolder, settings_.programName);
    if (!platform_.Open(updater, parameters)) {
        LogError(L"update: cannot start " + updater + L"; carrying on");
        return false;
    }
    return true;
}

} // namespace tessaly
