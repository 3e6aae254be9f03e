#include "QuorvelPlugin.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <utility>

#include "ConsoleLines.h"
#include "CountText.h"
#include "CsvFile.h"
#include "CsvRow.h"
#include "HistoryPruning.h"
#include "LaunchLogPath.h"
#include "PathText.h"
#include "ServerAddress.h"
#include "SessionHistory.h"
#include "UnfinishedMatch.h"
#include "UtcTimestamp.h"
#include "tarvik/wrappers/CVarManagerWrapper.h"
#include "tarvik/wrappers/GameWrapper.h"

namespace {

namespace Console = Quorvel::Console;

constexpr float kTickSeconds = 1.0f;

using Quorvel::Platform::displayPath;
using Quorvel::Platform::plural;

std::string displayPath(const std::optional<std::filesystem::path>& path) {
    return path ? displayPath(*path) : "(a file name that cannot be converted to a path)";
}

std::string mebibytes(std::uintmax_t bytes) {
    return std::to_string((bytes + (std::uintmax_t{1} << 19)) >> 20) + " MiB";
}

}  // namespace

QuorvelPlugin::QuorvelPlugin() = default;
QuorvelPlugin::~QuorvelPlugin() = default;

template <typename Step>
void QuorvelPlugin::guarded(Step&& step) {
    try {
        std::forward<Step>(step)();
    } catch (const std::exception& error) {
        reportError(error.what());
    } catch (...) {
        reportError("unknown error");
    }
}

void QuorvelPlugin::onLoad() {
    guarded([this] { prepareCsvFile(); });
    guarded([this] { log(std::string(Console::kLoaded)); });
    if (!tickChain) {
        guarded([this] { tickChain = std::make_shared<TickChain>(); });
        tick();
    }
}

void QuorvelPlugin::onUnload() {
    if (hasPendingRows) {
        guarded([this] { writePendingRows(); });
    }
    tickChain.reset();
}

void QuorvelPlugin::prepareCsvFile() {
    identityCaptured = false;
    userId = game->GetUniqueID().str();
    identityCaptured = true;
    const std::filesystem::path dataFolder = game->GetDataFolder();
    const std::optional<std::filesystem::path> path = Quorvel::csvFilePath(dataFolder, userId);
    if (path) {
        startCsvFile(*path, dataFolder);
    } else {
        reportCannotCreate(path);
    }
}

// What an earlier session left goes to the history first: the match it did not finish,
// then the rows of its file. The file is started afresh only once they are safe there,
// else this session appends to it.
void QuorvelPlugin::startCsvFile(const std::filesystem::path& file,
                                 const std::filesystem::path& dataFolder) {
    const std::filesystem::path history = Quorvel::historyFolder(dataFolder);
    std::vector<std::filesystem::path> justKept;
    if (!journal.holdsRows()) {  // else the journal is this object's own match in progress
        justKept.push_back(keepUnfinishedMatch(file, dataFolder));
    }
    const Quorvel::KeptSession earlier = Quorvel::keepEarlierSession(file, history, userId);
    if (earlier.rows == Quorvel::EarlierRows::NotKept) {
        log(std::string(Console::kCouldNotKeep) + displayPath(file) + " in " +
            displayPath(history) + "; this session's rows are appended after them");
    } else if (!Quorvel::createWithHeader(file)) {
        reportCannotCreate(file);
    }
    justKept.push_back(earlier.historyFile);
    if (std::any_of(justKept.begin(), justKept.end(),
                    [](const std::filesystem::path& kept) { return !kept.empty(); })) {
        pruneHistory(history, justKept);
    }
}

// Gives the history file it was kept in, if it was.
std::filesystem::path QuorvelPlugin::keepUnfinishedMatch(const std::filesystem::path& file,
                                                         const std::filesystem::path& dataFolder) {
    const std::optional<std::filesystem::path> journalFile =
        Quorvel::journalFilePath(dataFolder, userId);
    if (!journalFile) {
        return {};
    }
    const Quorvel::KeptUnfinished kept =
        Quorvel::keepUnfinishedMatch({.journal = *journalFile,
                                      .playerFile = file,
                                      .history = Quorvel::historyFolder(dataFolder)},
                                     userId);
    if (kept.rows == Quorvel::UnfinishedRows::Kept) {
        log(std::string(Console::kKeptUnfinished) + plural(kept.rowCount, "row", "rows") +
            std::string(Console::kKeptUnfinishedRows) + displayPath(kept.historyFile));
    } else if (kept.rows == Quorvel::UnfinishedRows::NotKept) {
        journal.switchOff();
        log(std::string(Console::kCouldNotKeepUnfinished) + displayPath(*journalFile) +
            "; it stays there, and this session keeps its matches in memory only until they end");
    }
    return kept.historyFile;
}

void QuorvelPlugin::pruneHistory(const std::filesystem::path& history,
                                 const std::vector<std::filesystem::path>& justKept) {
    const auto removed = Quorvel::pruneHistory(history, Quorvel::kHistoryLimit, userId, justKept);
    for (const Quorvel::RemovedSession& session : removed) {
        log(std::string(Console::kRemovedFromHistory) + displayPath(session.file) + " (" +
            mebibytes(session.size) + "): on its own it is over the history's limit of " +
            mebibytes(Quorvel::kHistoryLimit.bytes));
    }
}

void QuorvelPlugin::reportCannotCreate(const std::optional<std::filesystem::path>& file) {
    log(std::string(Console::kCouldNotCreate) + displayPath(file) +
        "; rows will be appended to it once it can be written");
}

void QuorvelPlugin::tick() {
    guarded([this] {
        if (!identityCaptured) {
            prepareCsvFile();  // the load-time attempt failed; retry until it works
        }
        bool inLiveMatch = false;
        if (game->IsInOnlineGame()) {
            ServerWrapper server = game->GetOnlineGame();
            if (!server.IsNull()) {
                inLiveMatch = true;
                journalFailureReported = journalFailureReported && inMatchLastTick;
                inMatchLastTick = true;
                sampleLiveMatch(server);
            }
        }
        if (!inLiveMatch) {
            inMatchLastTick = false;
            noAddressReported = false;
            if (hasPendingRows) {
                flushPendingRows();
            }
        }
    });
    scheduleNextTick();
}

bool QuorvelPlugin::serverKnown() {
    if (!serverIp.empty()) {
        return true;
    }
    const Discovery discovery = discoverServer();
    if (!serverIp.empty()) {
        return true;
    }
    if (discovery != Discovery::Captured && !noAddressReported) {
        noAddressReported = true;
        const std::filesystem::path logFile = Quorvel::launchLogPath();
        log(std::string(Console::kNoServerAddress) +
            (logFile.empty() ? std::string("Launch.log (no Documents folder found)")
                             : displayPath(logFile)) +
            "; no rows are taken until one appears");
    }
    return false;
}

void QuorvelPlugin::sampleLiveMatch(ServerWrapper& server) {
    if (!serverKnown()) {
        return;
    }
    PlayerControllerWrapper player = server.GetLocalPrimaryPlayer();
    if (player.IsNull()) {
        return;
    }
    PriWrapper replicationInfo = player.GetPRI();
    if (replicationInfo.IsNull()) {
        return;
    }
    const std::string timestamp =
        Quorvel::Format::formatUtcTimestamp(std::chrono::system_clock::now());
    StatGraphSystemWrapper graphs = game->GetEngine().GetStatGraphs();
    if (graphs.IsNull()) {
        return;
    }
    NetStatGraphWrapper net = graphs.GetNetStatGraph();
    InputBufferGraphWrapper input = graphs.GetInputBufferGraph();
    PerfStatGraphWrapper perf = graphs.GetPerfStatGraph();
    Quorvel::PendingSamples samples{};
    samples.latency = net.GetLatency().GetPendingSample();
    samples.packetsOut = net.GetPacketsOut().GetPendingSample();
    samples.packetsIn = net.GetPacketsIn().GetPendingSample();
    samples.lostPacketsOut = net.GetLostPacketsOut().GetPendingSample();
    samples.lostPacketsIn = net.GetLostPacketsIn().GetPendingSample();
    samples.buffer = input.GetBuffer().GetPendingSample();
    samples.bufferTarget = input.GetBufferTarget().GetPendingSample();
    samples.fps = perf.GetFPS().GetPendingSample();

    const std::string matchGuid = server.GetMatchGUID();
    const std::int32_t playlistId = server.GetPlaylist().GetPlaylistId();
    const float exactPing = replicationInfo.GetExactPing();

    // Written in place; a failure part-way cuts the pending rows back, so no half row stays.
    const std::size_t rowsBefore = pendingRows.size();
    try {
        Quorvel::appendCsvRow(pendingRows,
                              {.timestamp = timestamp,
                               .userId = userId,
                               .matchGuid = matchGuid,
                               .serverIp = serverIp,
                               .serverPort = serverPort},
                              playlistId, Quorvel::combineStatistics(samples, exactPing));
    } catch (...) {
        pendingRows.resize(rowsBefore);
        throw;
    }
    hasPendingRows = true;
    if (journal.rowTaken()) {
        journalPendingRows();
    }
}

QuorvelPlugin::Discovery QuorvelPlugin::discoverServer() {
    const std::filesystem::path logFile = Quorvel::launchLogPath();
    if (logFile.empty()) {
        return Discovery::NoDocumentsFolder;
    }
    const std::optional<std::string> address = launchLog.lastEntry(logFile);
    if (!address || address->empty()) {
        return Discovery::NotFound;
    }
    Quorvel::splitHostPort(*address, serverIp, serverPort);
    log(std::string(Console::kCapturedServer) + Quorvel::joinHostPort(serverIp, serverPort));
    return Discovery::Captured;
}

void QuorvelPlugin::flushPendingRows() {
    serverIp.clear();
    serverPort.clear();
    writePendingRows();
}

// The rows stay pending until they are on disk: a failed write is retried at the next
// tick outside a match, and reported once per run of failures. Meanwhile they are all in
// the journal, should the game close first.
void QuorvelPlugin::writePendingRows() {
    const std::optional<std::filesystem::path> path = csvPath();
    if (path && Quorvel::appendRows(*path, pendingRows)) {
        pendingRows.clear();
        hasPendingRows = false;
        writeFailureReported = false;
        if (const std::optional<std::filesystem::path> journalFile = journalPath()) {
            journal.rowsSaved(*journalFile);
        }
        log(std::string(Console::kRowsLogged));
        return;
    }
    if (!writeFailureReported) {
        writeFailureReported = true;
        log(std::string(Console::kCouldNotWrite) + displayPath(path) +
            "; the rows are kept and written when it can be");
    }
    journalPendingRows();
}

// A failing journal costs nothing but the safety it gives: the rows stay in memory.
void QuorvelPlugin::journalPendingRows() {
    const std::optional<std::filesystem::path> file = journalPath();
    if ((file && journal.write(*file, pendingRows)) || journalFailureReported) {
        return;
    }
    journalFailureReported = true;
    log(std::string(Console::kCouldNotJournal) + displayPath(file) +
        "; should the game close before the match ends, its rows are lost");
}

std::optional<std::filesystem::path> QuorvelPlugin::csvPath() {
    return Quorvel::csvFilePath(game->GetDataFolder(), userId);
}

std::optional<std::filesystem::path> QuorvelPlugin::journalPath() {
    return Quorvel::journalFilePath(game->GetDataFolder(), userId);
}

void QuorvelPlugin::scheduleNextTick() {
    if (!tickChain) {
        return;
    }
    std::weak_ptr<TickChain> chain = tickChain;
    auto next = [this, chain](GameWrapper*) {
        if (!chain.expired()) {
            tick();
        }
    };
    // One retry: a host that refuses twice in a row has ended the chain for us.
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            game->SetTimeout(next, kTickSeconds);
            return;
        } catch (const std::exception& error) {
            reportError(error.what());
        } catch (...) {
            reportError("unknown error while scheduling the next tick");
        }
    }
    tickChain.reset();
}

void QuorvelPlugin::log(std::string text) {
    console->log(std::move(text));
}

void QuorvelPlugin::reportError(std::string_view what) {
    if (errorReported) {
        return;
    }
    try {
        log(std::string(Console::kUnexpectedError) + std::string(what));
        errorReported = true;
    } catch (...) {
        // The console itself failed; try again at the next error.
    }
}
