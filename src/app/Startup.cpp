#include "app/Startup.h"

#include "app/Texts.h"

namespace tessaly {

bool IsWebSwitch(std::wstring_view arguments) {
    return arguments == L"/web";
}

Startup::Startup(Platform& platform, const Config& config, VersionCheck checkForUpdate)
    : platform_(platform)
    , config_(config)
    , checkForUpdate_(std::move(checkForUpdate)) {}

Next Startup::Initialize() {
    if (!platform_.IsOnline()) {
        platform_.ShowMessage(
            {texts::kNoConnection, texts::kNotice, MessageIcon::Exclamation, MessageButtons::Ok});
        return Next::EndProcess;
    }
    return checkForUpdate_ ? checkForUpdate_() : Next::Continue;
}

Next Startup::HandleArguments(std::wstring_view arguments) {
    if (!IsWebSwitch(arguments)) return Next::Continue;
    // A browser that does not start is not reported: the switch only ever
    // opens the page and leaves.
    static_cast<void>(platform_.Open(config_.makerHome, L""));
    return Next::EndProcess;
}

} // namespace tessaly
