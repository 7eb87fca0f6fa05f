#pragma once
// A platform for unattended runs (the whole-process tests and the demo tour):
// message boxes and program starts are written to a log and answered from the
// script instead of being shown; the network test can be forced. Anything the
// script leaves open goes to the real platform.

#include "app/Platform.h"

#include <functional>
#include <optional>
#include <string>

namespace tessaly {

struct Script {
    std::optional<bool> online;
    MessageAnswer answer = MessageAnswer::No; // for questions
    bool logOnly = true;                      // messages and starts are logged, not shown or run
    bool runStarts = false;                   // program starts are logged and run as well
};

// Reads the script from the values of TESSALY_AUTOMATION_NETWORK ("online",
// "offline"), TESSALY_AUTOMATION_ANSWER ("yes", "no") and
// TESSALY_AUTOMATION_START ("run": a started program really runs, so a test
// can see what it received); other values are ignored.
Script ParseScript(const std::wstring& network, const std::wstring& answer,
                   const std::wstring& start = {});

class ScriptedPlatform : public Platform {
public:
    using Log = std::function<void(const std::wstring& line)>;
    ScriptedPlatform(Platform& real, Script script, Log log);

    bool IsOnline() override;
    MessageAnswer ShowMessage(const Message& message) override;
    bool Open(const std::wstring& file, const std::wstring& parameters) override;

private:
    Platform& real_;
    Script script_;
    Log log_;
};

} // namespace tessaly
