#pragma once
// Downloads into real files: a new file beside the target, moved over it once
// complete.

#include "shell/FileSink.h"

namespace tessaly::win {

class WinFileSink : public FileSink {
public:
    std::unique_ptr<PartialFile> Create(const std::wstring& target, bool hidden) override;
};

} // namespace tessaly::win
