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

    std::map<std::wstring, std::pair<std::string, bool>> files; // content, hidden
    int partialFiles = 0;
    bool failWrites = false;
};

class FakeResponse : public HttpResponse {
public:
    explicit FakeResponse(World& w)
        : w_(w) {}
    int Status() override { return w_.status; }
    std::optional<std::uint64_t> ContentLength() override { return w_.length; }
    std::optional<std::size_t> Read(std::span<std::byte> buffer) override {
        w_.readSizes.push_back(buffer.size());
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
    std::size_t sent_ = 0;
    std::uint64_t phantom_ = 0;
};

struct FakeHttp : HttpClient {
    World& w;
    explicit FakeHttp(World& world)
        : w(world) {}
    std::unique_ptr<HttpResponse> Open(const std::wstring&) override {
        return w.reachable ? std::make_unique<FakeResponse>(w) : nullptr;
    }
};

class FakePartialFile : public PartialFile {
public:
    FakePartialFile(World& w, std::wstring target, bool hidden)
        : w_(w)
        , target_(std::move(target))
        , hidden_(hidden) {
        ++w_.partialFiles;
    }
    ~FakePartialFile() override { --w_.partialFiles; }
    bool Write(std::span<const std::byte> bytes) override {
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
using Events = std::vector<std::string>;

// A downloader wired to the fakes, recording its events in order.
struct Rig {
    World w;
    Events events;
    bool keepPumping = true;
    bool recordPumps = true;
    QelDownLoadFile downloader{std::make_unique<FakeHttp>(w), std::make_unique<FakeSink>(w),
                               [this] {
                                   if (recordPumps) events.push_back("pump");
                                   return keepPumping;
                               }};

    explicit Rig(std::size_t bodySize = 0, std::optional<std::uint64_t> length = std::nullopt) {
        w.body = Body(bodySize);
        w.length = length ? length : std::optional<std::uint64_t>(bodySize);
        downloader.QueryFileInfo.Connect(
            [this](std::uint64_t total) { events.push_back("info " + std::to_string(total)); });
        downloader.Loading.Connect(
            [this](std::uint64_t got) { events.push_back("loading " + std::to_string(got)); });
        downloader.Complete.Connect([this] { events.push_back("complete"); });
    }
    bool Get(bool hidden = false, bool raise = true) {
        return downloader.DownLoadFile(L"http://127.0.0.1/x", kTarget, hidden, raise);
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

TEST(QelDownLoadFile, ALongerBodyThanAnnouncedIsKeptWhole) {
    Rig rig(9000, 100);
    rig.recordPumps = false;
    EXPECT_TRUE(rig.Get());
    EXPECT_EQ(rig.events, (Events{"info 100", "loading 8192", "loading 9000", "complete"}));
    EXPECT_EQ(rig.Saved(), rig.w.body);
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
