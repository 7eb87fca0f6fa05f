#include "base/Event.h"

#include <gtest/gtest.h>

#include <string>

using namespace tessaly;

TEST(Event, HandlersAnswerThroughReferencesInConnectionOrder) {
    Event<int, bool&> query;
    std::string order;
    query.Connect([&](int, bool& cancel) {
        order += "a";
        cancel = true;
    });
    query.Connect([&](int value, bool& cancel) {
        order += cancel ? "B" : "b";
        cancel = value > 1;
    });
    bool cancel = false;
    query.Raise(1, cancel);
    EXPECT_EQ(order, "aB");
    EXPECT_FALSE(cancel);
}

TEST(Event, ValueArgumentsReachEveryHandlerIntact) {
    Event<std::wstring> title;
    std::wstring first, second;
    title.Connect([&](std::wstring t) { first = std::move(t); });
    title.Connect([&](std::wstring t) { second = std::move(t); });
    title.Raise(L"Game");
    EXPECT_EQ(first, L"Game");
    EXPECT_EQ(second, L"Game");
}

TEST(Event, HandlersMayConnectOrDisconnectWhileRaised) {
    Event<> clicked;
    int late = 0, early = 0;
    clicked.Connect([&] {
        ++early;
        clicked.Connect([&] { ++late; });
    });
    clicked.Raise();
    EXPECT_EQ(late, 0); // connected during the raise: runs from the next one
    clicked.Raise();
    EXPECT_EQ(late, 1);
    clicked.DisconnectAll();
    clicked.Connect([&] { clicked.DisconnectAll(); });
    clicked.Raise();
    EXPECT_FALSE(clicked.HasHandlers());
    EXPECT_EQ(early, 2);
}
