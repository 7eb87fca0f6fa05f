#include "shell/Redirect.h"

#include <gtest/gtest.h>

using namespace tessaly;

TEST(RedirectTarget, ResolvesAgainstTheCurrentAddressAndStaysOnTheFirstHost) {
    struct Case {
        const wchar_t* current;
        const wchar_t* location;
        const wchar_t* target; // nullptr: not followed
    };
    const wchar_t* first = L"http://Static.Example/gamehome/quorl/update.txt";
    const Case cases[] = {
        {L"http://static.example/a/b", L"c?x=1#part", L"http://static.example/a/c?x=1"},
        {L"http://static.example/a/b", L"../../../c/./d/", L"http://static.example/c/d/"},
        {L"http://static.example/a/b?q", L"?r", L"http://static.example/a/b?r"},
        {L"http://static.example:81/a", L"/x", L"http://static.example:81/x"},
        {L"http://static.example/a", L"  //STATIC.example/x ", L"http://STATIC.example/x"},
        {L"http://static.example/a", L"https://static.example:8443/x",
         L"https://static.example:8443/x"},
        {L"https://static.example/a", L"HTTPS://static.example/x", L"HTTPS://static.example/x"},
        {L"https://static.example/a", L"http://static.example/x", nullptr},
        {L"http://static.example/a", L"http://other.example/x", nullptr},
        {L"http://static.example/a", L"http://static.example@evil/x", nullptr},
        {L"http://static.example/a", L"http://evil\\@static.example/x", nullptr},
        {L"http://static.example/a", L"/x\\y", nullptr},
        {L"http://static.example/a", L"ftp://static.example/x", nullptr},
        {L"http://static.example/a", L"javascript:alert(1)", nullptr},
        {L"http://static.example/a", L"", nullptr},
        {L"http://static.example/a", L"http:static.example/x", nullptr},
    };
    for (const Case& c : cases) {
        const auto target = RedirectTarget(c.current, c.location, first);
        if (c.target) {
            EXPECT_EQ(target, std::wstring(c.target)) << c.location;
        } else {
            EXPECT_FALSE(target) << c.location;
        }
    }
    EXPECT_TRUE(IsRedirect(307) && !IsRedirect(304) && !IsRedirect(300) && !IsRedirect(200));
}
