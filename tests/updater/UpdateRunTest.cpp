#include "updater/UpdateRun.h"

#include "support/MemoryFolder.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace tessaly;
using tessaly::test::HashOf;
using tessaly::test::MemoryFolder;
using tessaly::test::Stopped;

namespace {

using Files = std::map<std::wstring, std::string>;

const std::wstring kFolder = L"C:\\G\\";
const Files kOld = {{L"C:\\G\\a.dll", "old a"},
                    {L"C:\\G\\Tessaly.exe", "old client"},
                    {L"C:\\G\\Tessaly.ini", "the player's settings"}};
const Files kNew = {{L"C:\\G\\a.dll", "new a"},
                    {L"C:\\G\\b.dat", "new b"},
                    {L"C:\\G\\Tessaly.exe", "new client"},
                    {L"C:\\G\\Tessaly.ini", "the player's settings"}};

// The client first: it must still be replaced last.
Manifest ThreeFiles() {
    return ParseManifest(L"version=1.2.0\r\nc|http://h/Tessaly.exe|" + HashOf("new client") +
                         L"\r\na|http://h/a.dll|" + HashOf("new a") + L"\r\nb|http://h/b.dat|" +
                         HashOf("new b"));
}

MemoryFolder Installed() {
    MemoryFolder folder;
    folder.files = kOld;
    folder.served = {{L"http://h/a.dll", "new a"},
                     {L"http://h/b.dat", "new b"},
                     {L"http://h/Tessaly.exe", "new client"}};
    return folder;
}

UpdateOutcome Update(MemoryFolder& folder, const Manifest& manifest = ThreeFiles()) {
    return RunUpdate(manifest, kFolder, L"Tessaly.exe", folder, folder);
}

// The promise a power cut at any moment must keep: the client is there,
// whole, and it is the new one only when every other file is new too.
void ExpectClientStarts(const Files& files) {
    const auto client = files.find(L"C:\\G\\Tessaly.exe");
    ASSERT_NE(client, files.end());
    ASSERT_TRUE(client->second == "old client" || client->second == "new client");
    if (client->second == "new client") {
        ASSERT_EQ(files.at(L"C:\\G\\a.dll"), "new a");
        ASSERT_EQ(files.at(L"C:\\G\\b.dat"), "new b");
    }
}

} // namespace

TEST(UpdateRun, ReplacesEveryFileOnlyOnceAllHaveArrived) {
    MemoryFolder folder = Installed();
    folder.afterStep = [&] { ExpectClientStarts(folder.files); };
    EXPECT_EQ(Update(folder), UpdateOutcome::Updated);
    EXPECT_EQ(folder.files, kNew); // no journal, copy or staged file left

    MemoryFolder empty;
    EXPECT_EQ(Update(empty, ParseManifest(L"version=1.2.0")), UpdateOutcome::NothingToDo);
}

TEST(UpdateRun, CancelFailureWrongHashOrARunningClientLeaveTheOldFiles) {
    MemoryFolder cancelled = Installed();
    cancelled.cancelBefore = 1; // during the second of three files
    EXPECT_EQ(Update(cancelled), UpdateOutcome::Cancelled);
    EXPECT_EQ(cancelled.downloads, 2); // the third is never fetched
    EXPECT_EQ(cancelled.files, kOld);

    MemoryFolder failed = Installed();
    failed.served.erase(L"http://h/b.dat");
    EXPECT_EQ(Update(failed), UpdateOutcome::Failed);
    EXPECT_EQ(failed.files, kOld);

    MemoryFolder wrongHash = Installed();
    EXPECT_EQ(Update(wrongHash, ParseManifest(L"c|http://h/Tessaly.exe|" + std::wstring(64, L'0'))),
              UpdateOutcome::Failed);
    EXPECT_EQ(wrongHash.files, kOld);

    // One refused line, wherever it stands, and not one file is fetched.
    for (const wchar_t* line : {L"x|http://h/a?b=c\r\n", L"bare-name\r\n", L"x|http://h/..\r\n",
                                L"x|http://h/a.dll.update-old|", L"x|http://h/update.journal|"}) {
        MemoryFolder refused = Installed();
        const Manifest list =
            ParseManifest(L"a|http://h/a.dll|" + HashOf("new a") + L"\r\n" + line + HashOf("x") +
                          L"\r\nc|http://h/Tessaly.exe|" + HashOf("new client"));
        EXPECT_EQ(Update(refused, list), UpdateOutcome::Failed) << line;
        EXPECT_EQ(refused.downloads, 0) << line;
        EXPECT_EQ(refused.files, kOld) << line;
    }

    MemoryFolder running = Installed();
    running.clientGone = false;
    EXPECT_EQ(Update(running), UpdateOutcome::Failed);
    EXPECT_EQ(running.files, kOld);
}

// Stopped before any one of its steps, or with any one step failing, the
// update leaves a client that starts, says truly what it left, and the next
// start finishes the job.
TEST(UpdateRun, StoppedOrFailingAtAnyStepTheNextStartFinishes) {
    int total = 0;
    {
        MemoryFolder folder = Installed();
        Update(folder);
        total = folder.steps;
    }
    for (int step = 0; step < total; ++step) {
        for (const bool stop : {true, false}) {
            SCOPED_TRACE(testing::Message()
                         << (stop ? "stopped before step " : "failing step ") << step);
            MemoryFolder folder = Installed();
            folder.afterStep = [&] { ExpectClientStarts(folder.files); };
            if (stop) {
                folder.stopBefore = step;
            } else {
                folder.failing = [step](int at) { return at == step; };
            }
            try {
                const UpdateOutcome outcome = Update(folder);
                if (outcome == UpdateOutcome::Updated) {
                    EXPECT_EQ(folder.files.at(L"C:\\G\\a.dll"), "new a");
                }
                if (outcome == UpdateOutcome::Failed) {
                    EXPECT_EQ(folder.files.at(L"C:\\G\\a.dll"), "old a");
                }
            } catch (const Stopped&) {
            }
            folder.stopBefore = -1;
            folder.failing = [](int) { return false; };
            const Recovery next = FinishUpdate(kFolder, folder);
            EXPECT_TRUE(next.clean);
            EXPECT_TRUE(folder.files == kOld || folder.files == kNew);
        }
    }
}

TEST(UpdateRun, AnOldFileThatCannotBePutBackKeepsTheJournalForTheNextStart) {
    MemoryFolder folder = Installed();
    // The client cannot be replaced, and its backup cannot be moved back over a.dll either.
    folder.failing = [&](int) {
        return folder.files.count(L"C:\\G\\a.dll.update-old") > 0 &&
               folder.files.at(L"C:\\G\\a.dll") == "new a";
    };
    EXPECT_EQ(Update(folder), UpdateOutcome::NotRestored);
    EXPECT_TRUE(folder.files.count(L"C:\\G\\update.journal"));
    ExpectClientStarts(folder.files);

    folder.failing = [](int) { return false; };
    EXPECT_EQ(FinishUpdate(kFolder, folder).state, InstallState::Old);
    EXPECT_EQ(folder.files, kOld);
}

TEST(UpdateRun, AJournalThatIsNoJournalIsRemovedAndNothingElseTouched) {
    MemoryFolder folder = Installed();
    folder.files[L"C:\\G\\update.journal"] = "tessaly update journal 1\n- 00 ..\\..\\evil.exe\n";
    folder.files[L"C:\\G\\a.dll.update-old"] = "someone's";
    const Recovery recovery = FinishUpdate(kFolder, folder);
    EXPECT_EQ(recovery.state, InstallState::Untouched);
    Files expected = kOld;
    expected[L"C:\\G\\a.dll.update-old"] = "someone's";
    EXPECT_EQ(folder.files, expected);
}
