#include "shell/MemorySink.h"

namespace tessaly {
namespace {

class MemoryPart : public PartialFile {
public:
    explicit MemoryPart(std::optional<std::string>& body)
        : body_(body) {}
    bool Write(std::span<const std::byte> bytes) override {
        bytes_.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return true;
    }
    bool Commit() override {
        body_ = std::move(bytes_);
        return true;
    }

private:
    std::optional<std::string>& body_;
    std::string bytes_;
};

} // namespace

std::unique_ptr<PartialFile> MemorySink::Create(const std::wstring&, bool) {
    return std::make_unique<MemoryPart>(body_);
}

} // namespace tessaly
