#pragma once
// A platform for unattended runs (the whole-process tests and the demo tour):
// message boxes, opened documents and program starts are written to a log
// ("message", "open" and "start" lines) and answered from the script instead
// of being shown; the network test can be forced. Anything the script leaves
// open goes to the real platform.

#include "shell/Platform.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tessaly {

struct Script {
    std::optional<bool> online;
    // For questions, in turn; the last one answers all that follow.
    std::vector<MessageAnswer> answers{MessageAnswer::No};
    bool logOnly = true; // messages and starts are logged, not shown or run
    // How many generations of started programs really run as well as being
    // logged: 0 none, -1 all. A program started with N left gets N - 1, so a
    // chain (client, updater, restarted client) ends where the test says.
    int runStarts = 0;
};

// Reads the script from the values of TESSALY_AUTOMATION_NETWORK ("online",
// "offline"), TESSALY_AUTOMATION_ANSWER ("yes", "no", or a comma-separated
// list of them for successive questions: "no,yes") and
// TESSALY_AUTOMATION_START ("run": started programs really run, so a test can
// see what they received; a number N: only N generations of them do); other
// values are ignored.
Script ParseScript(const std::wstring& network, const std::wstring& answer,
                   const std::wstring& start = {});

class ScriptedPlatform : public Platform {
public:
    using Log = std::function<void(const std::wstring& line)>;
    // Hands the started program its own budget of starts (see Script).
    using PassStarts = std::function<void(int runStartsForChild)>;
    ScriptedPlatform(Platform& real, Script script, Log log, PassStarts passStarts = nullptr);

    bool IsOnline() override;
    MessageAnswer ShowMessage(const Message& message) override;
    bool Open(const std::wstring& file, const std::wstring& parameters) override;
    bool Start(const std::wstring& program, const std::wstring& parameters,
               const std::wstring& folder) override;

private:
    // Logs the line and runs `real` when the script lets this start run.
    bool Pass(const std::wstring& line, const std::function<bool()>& real);

    Platform& real_;
    Script script_;
    std::size_t questions_ = 0;
    PassStarts passStarts_;
    Log log_;
};

} // namespace tessaly
