#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "LaunchLogScan.h"
#include "MatchJournal.h"
#include "tarvik/plugin/TarvikPlugin.h"

class ServerWrapper;

// Samples the client's network, input-buffer and frame statistics once a second
// during online matches and appends them, one CSV row a second, to the player's
// performance file after each match. Runs only on the host's game thread; no
// exception ever leaves it into the host.
class QuorvelPlugin final : public Tarvik::Plugin::TarvikPlugin {
  public:
    QuorvelPlugin();
    ~QuorvelPlugin();
    QuorvelPlugin(const QuorvelPlugin&) = delete;
    QuorvelPlugin& operator=(const QuorvelPlugin&) = delete;

    void onLoad() override;
    // Writes the rows still pending and ends the tick chain.
    void onUnload() override;

    // One step of the once-a-second chain; the host timer calls it.
    void tick();

    bool hasPendingRows = false;
    std::string userId;
    std::string pendingRows;
    std::string serverIp;
    std::string serverPort;

  private:
    enum class Discovery { Captured, NotFound, NoDocumentsFolder };

    void prepareCsvFile();
    void startCsvFile(const std::filesystem::path& file, const std::filesystem::path& dataFolder);
    std::filesystem::path keepUnfinishedMatch(const std::filesystem::path& file,
                                              const std::filesystem::path& dataFolder);
    void pruneHistory(const std::filesystem::path& history,
                      const std::vector<std::filesystem::path>& justKept);
    void reportCannotCreate(const std::optional<std::filesystem::path>& file);
    void sampleLiveMatch(ServerWrapper& server);
    // Whether the match's server address is known, looked for in the game's log until it
    // is; says so once when it cannot be found.
    bool serverKnown();
    Discovery discoverServer();
    void flushPendingRows();
    void writePendingRows();
    void journalPendingRows();
    std::optional<std::filesystem::path> csvPath();
    std::optional<std::filesystem::path> journalPath();
    void scheduleNextTick();
    void log(std::string text);
    void reportError(std::string_view what);
    template <typename Step>
    void guarded(Step&& step);

    // Alive while a tick chain runs; each scheduled tick holds it weakly, so a tick
    // that comes due after the chain ended or the object died does nothing.
    struct TickChain {};
    std::shared_ptr<TickChain> tickChain;

    Quorvel::LaunchLogScanner launchLog;
    Quorvel::MatchJournal journal;
    bool identityCaptured = false;
    bool noAddressReported = false;
    bool writeFailureReported = false;
    bool journalFailureReported = false;  // in this match
    bool inMatchLastTick = false;
    bool errorReported = false;
};
