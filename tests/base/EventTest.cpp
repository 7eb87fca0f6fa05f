#include "base/Event.h"

#include <gtest/gtest.h>

#include <memory>
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

TEST(Event, AHandlerThatDestroysTheOwnerEndsTheRaise) {
    struct Button {
        Event<int&> Click;
    };
    auto button = std::make_unique<Button>();
    int later = 0;
    bool captureAlive = true;
    // The handler's captures must outlive its own run, though the event goes.
    auto flag = std::shared_ptr<bool>(&captureAlive, [](bool* alive) { *alive = false; });
    button->Click.Connect([&, flag](int& answer) {
        button.reset();
        answer = captureAlive ? 1 : -1;
    });
    flag.reset();
    button->Click.Connect([&](int&) { ++later; });
    int answer = 0;
    EXPECT_FALSE(button->Click.Raise(answer));
    EXPECT_EQ(answer, 1);
    EXPECT_FALSE(captureAlive); // the copy went with the raise
    EXPECT_EQ(later, 0);

    // Raised again from inside a handler, and destroyed in the inner raise:
    // both raises stop.
    auto outer = std::make_unique<Button>();
    std::string order;
    outer->Click.Connect([&](int& depth) {
        order += "o";
        if (depth++ == 0 && outer->Click.Raise(depth)) order += "!";
    });
    outer->Click.Connect([&](int& depth) {
        order += "i";
        if (depth == 2) outer.reset();
    });
    int depth = 0;
    EXPECT_FALSE(outer->Click.Raise(depth));
    EXPECT_EQ(order, "ooi");
    Event<> survives;
    survives.Connect([] {});
    EXPECT_TRUE(survives.Raise());
}

TEST(Lifetime, WatchesSeeTheEndAndTheOutermostKeepsWhatTheObjectLeft) {
    auto lifetime = std::make_unique<Lifetime>();
    std::weak_ptr<int> kept;
    {
        const Lifetime::Watch outer(*lifetime);
        {
            const Lifetime::Watch inner(*lifetime);
            EXPECT_TRUE(lifetime->Watched());
            auto collection = std::make_shared<int>(7);
            kept = collection;
            lifetime->KeepUntilUnwound(std::move(collection));
            lifetime.reset();
            EXPECT_FALSE(inner.Alive());
        }
        EXPECT_FALSE(outer.Alive());
        EXPECT_FALSE(kept.expired()); // a caller may still be inside it
    }
    EXPECT_TRUE(kept.expired());

    Lifetime unwatched;
    {
        const Lifetime::Watch watch(unwatched);
        EXPECT_TRUE(watch.Alive());
    }
    EXPECT_FALSE(unwatched.Watched());
    auto now = std::make_shared<int>(1);
    kept = now;
    unwatched.KeepUntilUnwound(std::move(now));
    EXPECT_TRUE(kept.expired()); // nobody on the stack: it goes at once
}
