#include "app/UpdateCheck.h"

#include "app/Texts.h"
#include "base/ErrorLog.h"
#include "update/Manifest.h"
#include "update/StartParameter.h"
#include "update/VersionOrder.h"

namespace tessaly {
namespace {

constexpr wchar_t kManifestName[] = L"update.txt";
constexpr wchar_t kSignatureSuffix[] = L".sig";
constexpr wchar_t kUpdaterName[] = L"Update.exe";

} // namespace

std::wstring_view FileStem(std::wstring_view path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    std::wstring_view name = slash == std::wstring_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of(L'.');
    return dot == std::wstring_view::npos ? name : name.substr(0, dot);
}

std::wstring SignatureAddress(const std::wstring& manifestAddress) {
    return manifestAddress + kSignatureSuffix;
}

UpdateCheck::UpdateCheck(Platform& platform, UpdateHost& host, UpdateSettings settings)
    : platform_(platform)
    , host_(host)
    , settings_(std::move(settings)) {}

Next UpdateCheck::CheckForUpdate() {
    if (Compare() != Finding::Higher) return Next::Continue;
    return OfferAndStartUpdater() ? Next::EndProcess : Next::Continue;
}

UpdateCheck::MenuOutcome UpdateCheck::CheckForUpdateFromMenu() {
    switch (Compare()) {
    case Finding::NoVersion:
        return MenuOutcome::KeepRunning;
    case Finding::Unverified:
        platform_.ShowMessage({texts::kUpdateUnverified, texts::kNotice, MessageIcon::Information,
                               MessageButtons::Ok});
        return MenuOutcome::KeepRunning;
    case Finding::Same:
        platform_.ShowMessage(
            {texts::kAlreadyLatest, texts::kNotice, MessageIcon::Exclamation, MessageButtons::Ok});
        return MenuOutcome::KeepRunning;
    case Finding::Higher:
        break;
    }
    return OfferAndStartUpdater() ? MenuOutcome::CloseForUpdate : MenuOutcome::KeepRunning;
}

UpdateCheck::Finding UpdateCheck::Compare() {
    const std::wstring& url = settings_.manifestUrl;
    const std::optional<std::string> manifest = host_.Download(url);
    if (!manifest) return Finding::NoVersion;
    const std::optional<std::string> signature = host_.Download(SignatureAddress(url));
    manifest_ = *manifest;
    signature_ = signature.value_or(std::string());
    const std::wstring path = settings_.tempFolder + kManifestName;
    if (!host_.WriteHidden(path, *manifest) ||
        !host_.WriteHidden(path + kSignatureSuffix, signature_))
        LogError(L"update: cannot keep the manifest in " + path);

    const std::wstring problem = signature ? host_.SignatureProblem(*manifest, *signature)
                                           : L"no signature at " + SignatureAddress(url);
    if (!problem.empty()) {
        LogError(L"update: manifest " + url + L" refused: " + problem);
        return Finding::Unverified;
    }
    // A manifest the updater would refuse is no update to offer: it would
    // fail, and the old client would ask again at every start.
    const Manifest parsed = ParseManifest(host_.Decode(*manifest));
    if (!parsed.refused.empty()) {
        LogError(L"update: manifest " + url + L" refused: the line \"" + parsed.refused[0].line +
                 L"\": " + parsed.refused[0].reason);
        return Finding::Unverified;
    }
    const std::optional<std::wstring>& version = parsed.version;
    if (!version) return Finding::NoVersion;
    switch (CompareVersions(*version, settings_.ownVersion)) {
    case VersionOrder::Higher:
        return Finding::Higher;
    case VersionOrder::Same:
        return Finding::Same;
    case VersionOrder::Lower:
        LogError(L"update: the manifest offers " + *version + L", below this client's " +
                 settings_.ownVersion + L"; a stale copy, taken as the same");
        return Finding::Same;
    case VersionOrder::Unreadable:
        break;
    }
    LogError(L"update: the manifest's version \"" + *version +
             L"\" is no version; nothing offered");
    return Finding::NoVersion;
}

bool UpdateCheck::OfferAndStartUpdater() {
    const MessageAnswer answer = platform_.ShowMessage(
        {texts::kUpdateQuestion, texts::kNotice, MessageIcon::Question, MessageButtons::YesNo});
    if (answer != MessageAnswer::Yes) return false;

    const std::optional<std::wstring> folder = host_.MakeRunFolder(settings_.tempFolder);
    if (!folder) {
        LogError(L"update: no folder for the updater in " + settings_.tempFolder +
                 L"; carrying on");
        return false;
    }
    const std::wstring updater = *folder + kUpdaterName;
    const std::wstring manifest = *folder + kManifestName;
    if (!host_.WriteUpdater(updater) || !host_.WriteHidden(manifest, manifest_) ||
        !host_.WriteHidden(manifest + kSignatureSuffix, signature_)) {
        LogError(L"update: cannot write the updater and its manifest to " + *folder +
                 L"; carrying on");
        return false;
    }
    const std::wstring hash = host_.Sha256Hex(manifest_);
    if (hash.empty()) {
        LogError(L"update: no SHA-256 of the manifest; carrying on");
        return false;
    }
    const std::wstring parameters = UpdaterParameters(
        settings_.programFolder, settings_.programName, settings_.processId, hash);
    if (!platform_.Start(updater, parameters, *folder)) {
        LogError(L"update: cannot start " + updater + L"; carrying on");
        return false;
    }
    return true;
}

} // namespace tessaly
