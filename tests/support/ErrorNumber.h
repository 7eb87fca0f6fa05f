#pragma once
// The number of the program error an action raises, or 0 when it raises none.

#include "base/Error.h"

namespace tessaly::test {

int ErrorNumber(auto&& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

} // namespace tessaly::test
