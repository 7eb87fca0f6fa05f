#include <windows.h>
#include <shellapi.h>
#include <wininet.h>

#include "shell/WindowsPlatform_win.h"

#include "shell/ScriptedPlatform.h"
#include "base/Handles_win.h"
#include "base/Text.h"

#include <vector>

namespace tessaly::win {
namespace {

std::wstring Environment(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return {};
    std::vector<wchar_t> buffer(size);
    GetEnvironmentVariableW(name, buffer.data(), size);
    return buffer.data();
}

void AppendLine(const std::wstring& path, const std::wstring& line) {
    UniqueHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    const std::string utf8 = WideToUtf8(line) + "\n";
    DWORD written = 0;
    WriteFile(file.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

} // namespace

bool WindowsPlatform::IsOnline() {
    DWORD flags = 0;
    return InternetGetConnectedState(&flags, 0) != FALSE;
}

MessageAnswer WindowsPlatform::ShowMessage(const Message& message) {
    UINT type = message.buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
    switch (message.icon) {
    case MessageIcon::Exclamation:
        type |= MB_ICONEXCLAMATION;
        break;
    case MessageIcon::Question:
        type |= MB_ICONQUESTION;
        break;
    case MessageIcon::Information:
        type |= MB_ICONINFORMATION;
        break;
    }
    // The active window owns the box, so it is modal to what the player sees.
    const int result =
        MessageBoxW(GetActiveWindow(), message.text.c_str(), message.title.c_str(), type);
    if (message.buttons == MessageButtons::Ok) return MessageAnswer::Ok;
    return result == IDYES ? MessageAnswer::Yes : MessageAnswer::No;
}

bool WindowsPlatform::Open(const std::wstring& file, const std::wstring& parameters) {
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", file.c_str(),
                      parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOWNORMAL));
    return result > 32;
}

bool WindowsPlatform::Start(const std::wstring& program, const std::wstring& parameters,
                            const std::wstring& folder) {
    // The program's name is passed on its own as well, so nothing of the
    // command line is searched for or read as another program.
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!parameters.empty()) commandLine += L" " + parameters;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started))
        return false;
    const UniqueHandle process(started.hProcess), thread(started.hThread);
    return true;
}

Platform& ProgramPlatform() {
    static WindowsPlatform windows;
    static const std::wstring logPath = Environment(L"TESSALY_AUTOMATION_LOG");
    if (logPath.empty()) return windows;
    static ScriptedPlatform scripted(
        windows,
        ParseScript(Environment(L"TESSALY_AUTOMATION_NETWORK"),
                    Environment(L"TESSALY_AUTOMATION_ANSWER"),
                    Environment(L"TESSALY_AUTOMATION_START")),
        [](const std::wstring& line) { AppendLine(logPath, line); },
        [](int runStarts) {
            // Started programs inherit this process's environment.
            SetEnvironmentVariableW(L"TESSALY_AUTOMATION_START",
                                    runStarts < 0 ? L"run" : std::to_wstring(runStarts).c_str());
        });
    return scripted;
}

} // namespace tessaly::win
