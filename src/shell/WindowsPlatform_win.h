#pragma once

#include "shell/Platform.h"

#include <memory>

namespace tessaly::win {

class WindowsPlatform : public Platform {
public:
    bool IsOnline() override;
    MessageAnswer ShowMessage(const Message& message) override;
    bool Open(const std::wstring& file, const std::wstring& parameters) override;
    bool Start(const std::wstring& program, const std::wstring& parameters,
               const std::wstring& folder) override;
};

// The platform the program runs with: Windows itself, or, when the
// environment variable TESSALY_AUTOMATION_LOG names a log file, the scripted
// platform in front of it.
Platform& ProgramPlatform();

} // namespace tessaly::win
