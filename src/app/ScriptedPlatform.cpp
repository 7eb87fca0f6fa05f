#include "app/ScriptedPlatform.h"

#include "base/Text.h"

namespace tessaly {

Script ParseScript(const std::wstring& network, const std::wstring& answer,
                   const std::wstring& start) {
    Script script;
    const std::wstring net = AsciiLower(network);
    if (net == L"online") script.online = true;
    if (net == L"offline") script.online = false;
    if (AsciiLower(answer) == L"yes") script.answer = MessageAnswer::Yes;
    if (AsciiLower(start) == L"run") {
        script.runStarts = -1;
    } else if (!start.empty() && start.find_first_not_of(L"0123456789") == std::wstring::npos &&
               start.size() < 4) {
        script.runStarts = std::stoi(start);
    }
    return script;
}

ScriptedPlatform::ScriptedPlatform(Platform& real, Script script, Log log, PassStarts passStarts)
    : real_(real)
    , script_(script)
    , passStarts_(std::move(passStarts))
    , log_(std::move(log)) {}

bool ScriptedPlatform::IsOnline() {
    return script_.online ? *script_.online : real_.IsOnline();
}

MessageAnswer ScriptedPlatform::ShowMessage(const Message& message) {
    if (!script_.logOnly) return real_.ShowMessage(message);
    log_(L"message\t" + message.title + L"\t" + message.text);
    return message.buttons == MessageButtons::Ok ? MessageAnswer::Ok : script_.answer;
}

bool ScriptedPlatform::Open(const std::wstring& file, const std::wstring& parameters) {
    if (!script_.logOnly) return real_.Open(file, parameters);
    log_(L"open\t" + file + L"\t" + parameters);
    if (script_.runStarts == 0) return true;
    if (passStarts_) passStarts_(script_.runStarts > 0 ? script_.runStarts - 1 : -1);
    return real_.Open(file, parameters);
}

} // namespace tessaly
