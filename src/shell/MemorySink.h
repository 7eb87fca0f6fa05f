#pragma once
// Downloads into memory: for what the program checks and then acts on (the
// manifest), so that it keeps the very bytes it checked instead of reading
// again a file that another process may have written meanwhile.

#include "shell/FileSink.h"

#include <optional>
#include <string>

namespace tessaly {

class MemorySink : public FileSink {
public:
    // `body` receives the bytes of a complete download; it is left as it was
    // otherwise. The target name and attribute of Create are not used.
    explicit MemorySink(std::optional<std::string>& body)
        : body_(body) {}
    std::unique_ptr<PartialFile> Create(const std::wstring& target, bool hidden) override;

private:
    std::optional<std::string>& body_;
};

} // namespace tessaly
