#include "shell/QelDownLoadFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace tessaly;

namespace {

constexpr std::uint64_t kGiB = 1024ull * 1024 * 1024;

// What the fake server answers, and what the fake disk holds.
struct World {
    bool reachable = true;
    int status = 200;
    std::optional<std::uint64_t> length;
    std::string body;
    bool breaksAfterBody = false;   // the connection drops instead of ending the body
    std::uint64_t phantomBytes = 0; // counted after `body` but never produced: sizes past 4 GiB
    std::vector<std::size_t> readSizes;
    // 302 answers by address, with their Location (none when empty).
    std::map<std::wstring, std::wstring> redirects;
    std::vector<std::wstring> opened;

    // The clock, and how long the server makes each step take. A step that
    // would end past its deadline gives up at the deadline.
    std::uint64_t now = 1000;
    std::uint64_t headMs = 0;
    std::uint64_t readMs = 0;
    bool Wait(std::uint64_t ms, std::uint64_t deadline) {
        if (now + ms > deadline) {
            now = std::max(now, deadline);
            return false;
        }
        now += ms;
        return true;
    }

    std::map<std::wstring, std::pair<std::string, bool>> files; // content, hidden
    int partialFiles = 0;
    int created = 0;
    std::uint64_t written = 0;
    bool failWrites = false;
};

class FakeResponse : public HttpResponse {
public:
    FakeResponse(World& w, int status, std::optional<std::wstring> location)
        : w_(w)
        , status_(status)
        , location_(std::move(location)) {}
    int Status() override { return status_; }
    std::optional<std::uint64_t> ContentLength() override { return w_.length; }
    std::optional<std::wstring> Location() override { return location_; }
    std::optional<std::size_t> Read(std::span<std::byte> buffer, std::uint64_t deadline) override {
        w_.readSizes.push_back(buffer.size());
        if (!w_.Wait(w_.readMs, deadline)) return std::nullopt;
        if (sent_ < w_.body.size()) {
            const std::size_t n = std::min(buffer.size(), w_.body.size() - sent_);
            std::memcpy(buffer.data(), w_.body.data() + sent_, n);
            sent_ += n;
            return n;
        }
        if (phantom_ < w_.phantomBytes) {
            const auto n = std::min<std::uint64_t>(buffer.size(), w_.phantomBytes - phantom_);
            phantom_ += n;
            return static_cast<std::size_t>(n);
        }
        if (w_.breaksAfterBody) return std::nullopt;
        return 0;
    }

private:
    World& w_;
    int status_;
    std::optional<std::wstring> location_;
    std::size_t sent_ = 0;
    std::uint64_t phantom_ = 0;
};

struct FakeHttp : HttpClient {
    World& w;
    explicit FakeHttp(World& world)
        : w(world) {}
    std::unique_ptr<HttpResponse> Open(const std::wstring& url, std::uint64_t deadline) override {
        w.opened.push_back(url);
        if (!w.reachable || !w.Wait(w.headMs, deadline)) return nullptr;
        const auto it = w.redirects.find(url);
        if (it == w.redirects.end())
            return std::make_unique<FakeResponse>(w, w.status, std::nullopt);
        return std::make_unique<FakeResponse>(
            w, 302, it->second.empty() ? std::nullopt : std::optional(it->second));
    }
};

class FakePartialFile : public PartialFile {
public:
    FakePartialFile(World& w, std::wstring target, bool hidden)
        : w_(w)
        , target_(std::move(target))
        , hidden_(hidden) {
        ++w_.partialFiles;
        ++w_.created;
    }
    ~FakePartialFile() override { --w_.partialFiles; }
    bool Write(std::span<const std::byte> bytes) override {
        w_.written += bytes.size();
        if (w_.phantomBytes == 0)
            content_.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return !w_.failWrites;
    }
    bool Commit() override {
        w_.files[target_] = {content_, hidden_};
        return true;
    }

private:
    World& w_;
    std::wstring target_;
    bool hidden_;
    std::string content_;
};

struct FakeSink : FileSink {
    World& w;
    explicit FakeSink(World& world)
        : w(world) {}
    std::unique_ptr<PartialFile> Create(const std::wstring& target, bool hidden) override {
        return std::make_unique<FakePartialFile>(w, target, hidden);
    }
};

std::string Body(std::size_t size) {
    std::string body(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        body[i] = static_cast<char>(i % 251);
    return body;
}

const std::wstring kTarget = L"C:\\t\\x.bin";
const std::wstring kAddress = L"http://127.0.0.1/x";
using Events = std::vector<std::string>;

// A downloader wired to the fakes, recording its events in order.
struct Rig {
    World w;
    Events events;
    bool keepPumping = true;
    bool recordPumps = true;
    std::uint64_t pumpMs = 0; // a question box open between pieces
    QelDownLoadFile downloader;

    explicit Rig(std::size_t bodySize = 0, std::optional<std::uint64_t> length = std::nullopt,
                 DownloadLimits limits = {})
        : downloader(
              std::make_unique<FakeHttp>(w), std::make_unique<FakeSink>(w),
              [this] {
                  if (recordPumps) events.push_back("pump");
                  w.now += pumpMs;
                  return keepPumping;
              },
              limits, [this] { return w.now; }) {
        w.body = Body(bodySize);
        w.length = length ? length : std::optional<std::uint64_t>(bodySize);
        downloader.QueryFileInfo.Connect(
            [this](std::uint64_t total) { events.push_back("info " + std::to_string(total)); });
        downloader.Loading.Connect(
            [this](std::uint64_t got) { events.push_back("loading " + std::to_string(got)); });
        downloader.Complete.Connect([this] { events.push_back("complete"); });
    }
    bool Get(bool hidden = false, bool raise = true) {
        return downloader.DownLoadFile(kAddress, kTarget, hidden, raise);
    }
    const std::string& Saved() { return w.files[kTarget].first; }
};

} // namespace

TEST(QelDownLoadFile, RefusedResponsesFailWithoutAFileAndStillComplete) {
    for (int which = 0; which < 5; ++which) {
        for (bool raise : {true, false}) {
            Rig rig(4);
            if (which == 0) rig.w.status = 404;
            if (which == 1) rig.w.status = 500;
            if (which == 2) rig.w.length.reset(); // no Content-Length
            if (which == 3) rig.w.length = 0;
            if (which == 4) rig.w.reachable = false;
            EXPECT_FALSE(rig.Get(false, raise)) << which;
            EXPECT_TRUE(rig.w.files.empty()) << which;
            EXPECT_TRUE(rig.w.readSizes.empty()) << which;
            EXPECT_EQ(rig.events, raise ? Events{"complete"} : Events{}) << which;
        }
    }
}

TEST(QelDownLoadFile, ReadsInPiecesOf8192AndReportsEachAfterWritingIt) {
    Rig one(8192);
    EXPECT_TRUE(one.Get());
    EXPECT_EQ(one.events, (Events{"info 8192", "loading 8192", "pump", "complete"}));
    EXPECT_EQ(one.Saved(), one.w.body);

    Rig more(8192 * 2 + 1);
    more.recordPumps = false;
    EXPECT_TRUE(more.Get(true));
    EXPECT_EQ(more.events,
              (Events{"info 16385", "loading 8192", "loading 16384", "loading 16385", "complete"}));
    EXPECT_EQ(more.Saved(), more.w.body);
    EXPECT_TRUE(more.w.files[kTarget].second); // hidden as asked
    EXPECT_EQ(more.w.readSizes, std::vector<std::size_t>(4, 8192));
    EXPECT_EQ(more.w.partialFiles, 0);

    // Without events the same download runs silently; messages are still processed.
    Rig quiet(10000);
    EXPECT_TRUE(quiet.Get(false, false));
    EXPECT_EQ(quiet.events, (Events{"pump", "pump"}));
    EXPECT_EQ(quiet.Saved(), quiet.w.body);
}

TEST(QelDownLoadFile, ABrokenOrShortTransferKeepsTheEarlierFile) {
    for (int which = 0; which < 3; ++which) {
        Rig rig(10000, 20000);                        // 0: ends short of the announced length
        if (which == 1) rig.w.breaksAfterBody = true; // 1: the connection drops
        if (which == 2) rig.w.failWrites = true;      // 2: the disk is full
        rig.w.files[kTarget] = {"earlier", true};
        EXPECT_FALSE(rig.Get()) << which;
        EXPECT_EQ(rig.Saved(), "earlier") << which;
        EXPECT_EQ(rig.w.partialFiles, 0) << which;
        EXPECT_EQ(rig.events.back(), "complete") << which;
    }
}

TEST(QelDownLoadFile, NothingPastTheAnnouncedLengthOrTheCapIsWritten) {
    struct Case {
        std::size_t body;
        std::uint64_t length, maxBytes;
        bool ok;
        std::uint64_t written; // before the download ended
        int created;
    };
    const Case cases[] = {
        {100000, 1, 0, false, 0, 1},     // an endless chunked body announced as 1 byte
        {8193, 8192, 0, false, 8192, 1}, // one byte more, after a whole piece
        {101, 101, 100, false, 0, 0},    // announced above the cap: not even a file
        {100, 100, 100, true, 100, 1},   // exactly the cap
    };
    for (const Case& c : cases) {
        Rig rig(c.body, c.length, {8, 120, c.maxBytes});
        rig.w.files[kTarget] = {"earlier", false};
        EXPECT_EQ(rig.Get(), c.ok) << c.body;
        EXPECT_EQ(rig.w.written, c.written) << c.body;
        EXPECT_EQ(rig.w.created, c.created) << c.body;
        EXPECT_EQ(rig.Saved(), c.ok ? rig.w.body : "earlier") << c.body;
        EXPECT_EQ(rig.w.partialFiles, 0) << c.body;
        EXPECT_EQ(rig.events.back(), "complete") << c.body;
    }
}

TEST(QelDownLoadFile, TheWholeDownloadEndsAtItsDeadlineButTheCallersOwnTimeDoesNotCount) {
    struct Case {
        const char* what;
        std::uint64_t headMs, readMs, pumpMs;
        bool ok;
    };
    // 2 s for 40000 bytes: five pieces and the end.
    const Case cases[] = {
        {"quick", 100, 100, 0, true},
        {"head after the deadline", 2500, 0, 0, false},
        {"a piece every 500 ms", 0, 500, 0, false},
        {"silent after the head", 500, 60000, 0, false},
        {"a question box left open between pieces", 0, 100, 60000, true},
    };
    for (const Case& c : cases) {
        Rig rig(40000, std::nullopt, {8, 2, 0});
        rig.recordPumps = false;
        rig.w.headMs = c.headMs;
        rig.w.readMs = c.readMs;
        rig.pumpMs = c.pumpMs;
        const std::uint64_t start = rig.w.now;
        EXPECT_EQ(rig.Get(), c.ok) << c.what;
        EXPECT_EQ(rig.w.files.count(kTarget), c.ok ? 1u : 0u) << c.what;
        if (!c.ok) {
            EXPECT_EQ(rig.w.now - start, 2000u) << c.what; // at the deadline, not after
        }
    }
}

TEST(QelDownLoadFile, FollowsFiveRedirectsOnTheSameHostAndNoMore) {
    // The first `hops` - 1 Locations lead from /n to /n+1; the last is the case's.
    struct Case {
        const char* what;
        int hops;
        const wchar_t* last;
        bool ok;
        std::size_t opens;
    };
    const Case cases[] = {
        {"five, relative", 5, L"/x?end", true, 6},
        {"six", 6, L"/x?end", false, 6},
        {"a loop", 1, L"/x", false, 6},
        {"to localhost", 1, L"http://localhost/", false, 1},
        {"no Location", 1, L"", false, 1},
    };
    for (const Case& c : cases) {
        Rig rig(100);
        std::wstring from = kAddress;
        for (int i = 1; i <= c.hops; ++i) {
            const std::wstring to = i == c.hops ? c.last : std::to_wstring(i);
            rig.w.redirects[from] = to;
            from = L"http://127.0.0.1/" + to;
        }
        EXPECT_EQ(rig.Get(), c.ok) << c.what;
        EXPECT_EQ(rig.w.opened.size(), c.opens) << c.what;
        EXPECT_EQ(rig.w.created, c.ok ? 1 : 0) << c.what;
    }
}

TEST(QelDownLoadFile, AStopEndsAfterTheCurrentPieceAndKeepsTheTarget) {
    Rig rig(8192 * 3);
    rig.w.files[kTarget] = {"earlier", false};
    rig.downloader.Loading.Connect([&](std::uint64_t) { rig.downloader.StopDownLoad(); });
    EXPECT_TRUE(rig.Get());
    EXPECT_EQ(rig.events, (Events{"info 24576", "loading 8192", "pump", "complete"}));
    EXPECT_EQ(rig.w.readSizes.size(), 1u);
    EXPECT_EQ(rig.Saved(), "earlier");
    EXPECT_EQ(rig.w.partialFiles, 0);

    // The next download forgets that stop.
    rig.downloader.Loading.DisconnectAll();
    EXPECT_TRUE(rig.Get());
    EXPECT_EQ(rig.Saved(), rig.w.body);

    // Quitting while messages are processed stops the same way.
    Rig quitting(8192 * 3);
    quitting.keepPumping = false;
    EXPECT_TRUE(quitting.Get());
    EXPECT_EQ(quitting.w.readSizes.size(), 1u);
    EXPECT_TRUE(quitting.w.files.empty());
}

TEST(QelDownLoadFile, ADownloadAskedForWhileOneRunsIsRefused) {
    Rig rig(20000);
    bool nested = false;
    rig.downloader.Loading.Connect([&](std::uint64_t) {
        if (!std::exchange(nested, true)) {
            EXPECT_FALSE(rig.Get());
        }
    });
    EXPECT_TRUE(rig.Get());
    EXPECT_EQ(std::count(rig.events.begin(), rig.events.end(), "complete"), 1);
    EXPECT_EQ(rig.Saved(), rig.w.body);
}

TEST(QelDownLoadFile, LengthsAndCountsPast4GiB) {
    Rig rig(0, 5 * kGiB + 1);
    rig.w.phantomBytes = 5 * kGiB + 1;
    rig.recordPumps = false;
    std::uint64_t last = 0, loadings = 0;
    rig.downloader.Loading.DisconnectAll();
    rig.downloader.Loading.Connect([&](std::uint64_t got) {
        last = got;
        ++loadings;
    });
    EXPECT_TRUE(rig.Get());
    EXPECT_EQ(rig.events.front(), "info 5368709121");
    EXPECT_EQ(last, 5 * kGiB + 1);
    EXPECT_EQ(loadings, 5 * kGiB / 8192 + 1);
    EXPECT_EQ(rig.w.files.count(kTarget), 1u);
}
