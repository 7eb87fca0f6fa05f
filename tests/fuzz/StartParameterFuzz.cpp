// The updater's start parameter arrives on its command line, where any
// program can put anything.

#include "FuzzInput.h"

#include "updater/UpdateList.h"

using namespace tessaly;
using namespace tessaly::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = TextOf(data, size);
    const auto parameter = ParseStartParameter(text);
    Require(parameter.has_value() == !text.empty(), "only an empty parameter gives nothing");
    if (parameter) {
        Require(!parameter->folder.empty() && parameter->folder.back() == L'\\',
                "the folder ends with a backslash");
        Require(parameter->clientExe.find(L'|') == std::wstring::npos,
                "the client's name is one field");
    }
    return 0;
}
