// The replace of an update under faults: any file operation may fail and the
// process may stop before any step, then start again, stop again, fail
// again. Whatever happens, the client's executable is there and whole after
// every step, and after the next start that finishes every file holds all
// its old bytes or all its new ones, nothing else is left in the folder, and
// the client is new only when every file is.

#include "FuzzInput.h"

#include "support/MemoryFolder.h"

using namespace tessaly;
using namespace tessaly::fuzz;
using tessaly::test::HashOf;
using tessaly::test::MemoryFolder;
using tessaly::test::Stopped;

namespace {

const std::wstring kFolder = L"C:\\G\\";
const std::wstring kClient = L"Tessaly.exe";

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size)
        : data_(data)
        , size_(size) {}
    std::uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

struct Scenario {
    std::map<std::wstring, std::string> oldFiles, newFiles;
    std::wstring manifest = L"version=2\r\n";
};

Scenario MakeScenario(Bytes& in) {
    Scenario scenario;
    scenario.oldFiles[kFolder + L"keep.ini"] = "settings";
    scenario.newFiles[kFolder + L"keep.ini"] = "settings";
    const int count = 1 + in.Next() % 4;
    for (int i = 0; i < count; ++i) {
        const std::uint8_t kind = in.Next();
        const std::wstring name = i == 0 ? kClient : L"f" + std::to_wstring(i) + L".dat";
        const std::string newBytes = "new " + std::to_string(i);
        // The client is always installed; others may be new, or unchanged.
        if (i == 0 || kind % 3 != 0)
            scenario.oldFiles[kFolder + name] =
                kind % 3 == 2 ? newBytes : "old " + std::to_string(i);
        scenario.newFiles[kFolder + name] = newBytes;
        scenario.manifest += L"x|http://h/" + name + L"|" + HashOf(newBytes) + L"\r\n";
    }
    // Wherever the client's line stands, it is replaced last.
    return scenario;
}

void CheckClientStarts(const MemoryFolder& folder, const Scenario& scenario) {
    const auto client = folder.files.find(kFolder + kClient);
    Require(client != folder.files.end(), "the client is always there");
    const std::string& oldClient = scenario.oldFiles.at(kFolder + kClient);
    const bool isNew = client->second == scenario.newFiles.at(kFolder + kClient);
    Require(isNew || client->second == oldClient,
            "the client holds its old or its new bytes whole");
    if (!isNew || client->second == oldClient) return;
    for (const auto& [path, bytes] : scenario.newFiles)
        Require(folder.files.count(path) && folder.files.at(path) == bytes,
                "a new client stands only among new files");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    const Scenario scenario = MakeScenario(in);
    MemoryFolder folder;
    folder.files = scenario.oldFiles;
    for (const auto& [path, bytes] : scenario.newFiles)
        folder.served[L"http://h/" + path.substr(kFolder.size())] = bytes;
    folder.afterStep = [&] { CheckClientStarts(folder, scenario); };
    // Each byte after the scenario's is a step: which fail, and where a run stops.
    std::vector<std::uint8_t> plan;
    for (std::uint8_t b = in.Next(); plan.size() < 256 && (b || plan.size() < 8); b = in.Next())
        plan.push_back(b);
    folder.failing = [&](int step) {
        return step < static_cast<int>(plan.size()) && plan[step] % 5 == 1;
    };
    const auto stopAt = [&](int from) {
        for (int step = from; step < static_cast<int>(plan.size()); ++step)
            if (plan[step] % 5 == 2) return step + 1;
        return -1;
    };

    folder.stopBefore = stopAt(0);
    try {
        const UpdateOutcome outcome =
            RunUpdate(ParseManifest(scenario.manifest), kFolder, kClient, folder, folder);
        if (outcome == UpdateOutcome::Updated)
            Require(folder.files == scenario.newFiles || folder.files.count(kFolder + kJournalName),
                    "an update said done is done");
    } catch (const Stopped&) {
    }
    // Starts that fail or stop again, then one that runs its course.
    for (int start = 0; start < 3; ++start) {
        folder.stopBefore = stopAt(folder.steps);
        try {
            FinishUpdate(kFolder, folder);
        } catch (const Stopped&) {
        }
    }
    folder.stopBefore = -1;
    folder.failing = [](int) { return false; };
    const Recovery last = FinishUpdate(kFolder, folder);
    Require(last.clean, "a start without faults leaves nothing behind");
    Require(folder.files == scenario.oldFiles || folder.files == scenario.newFiles,
            "after a start every file is old or every file is new, and nothing else is there");
    return 0;
}
