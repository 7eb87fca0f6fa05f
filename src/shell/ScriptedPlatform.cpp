#include "shell/ScriptedPlatform.h"

#include "base/Text.h"

#include <algorithm>

namespace tessaly {

Script ParseScript(const std::wstring& network, const std::wstring& answer,
                   const std::wstring& start) {
    Script script;
    const std::wstring net = AsciiLower(network);
    if (net == L"online") script.online = true;
    if (net == L"offline") script.online = false;
    std::vector<MessageAnswer> answers;
    const std::wstring said = AsciiLower(answer);
    for (std::size_t from = 0; from <= said.size();) {
        const std::size_t end = std::min(said.find(L',', from), said.size());
        answers.push_back(said.compare(from, end - from, L"yes") == 0 ? MessageAnswer::Yes
                                                                      : MessageAnswer::No);
        from = end + 1;
    }
    script.answers = std::move(answers);
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
    if (message.buttons == MessageButtons::Ok) return MessageAnswer::Ok;
    const std::size_t turn = std::min(questions_++, script_.answers.size() - 1);
    return script_.answers[turn];
}

bool ScriptedPlatform::Open(const std::wstring& file, const std::wstring& parameters) {
    if (!script_.logOnly) return real_.Open(file, parameters);
    return Pass(L"open\t" + file + L"\t" + parameters,
                [&] { return real_.Open(file, parameters); });
}

bool ScriptedPlatform::Start(const std::wstring& program, const std::wstring& parameters,
                             const std::wstring& folder) {
    if (!script_.logOnly) return real_.Start(program, parameters, folder);
    return Pass(L"start\t" + program + L"\t" + parameters,
                [&] { return real_.Start(program, parameters, folder); });
}

bool ScriptedPlatform::Pass(const std::wstring& line, const std::function<bool()>& real) {
    log_(line);
    if (script_.runStarts == 0) return true;
    if (passStarts_) passStarts_(script_.runStarts > 0 ? script_.runStarts - 1 : -1);
    return real();
}

} // namespace tessaly
