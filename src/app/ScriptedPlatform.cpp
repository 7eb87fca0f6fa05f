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
    script.runStarts = AsciiLower(start) == L"run";
    return script;
}

ScriptedPlatform::ScriptedPlatform(Platform& real, Script script, Log log)
    : real_(real)
    , script_(script)
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
    return script_.runStarts ? real_.Open(file, parameters) : true;
}

} // namespace tessaly
