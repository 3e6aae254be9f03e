#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <vector>

#include "Input.h"
#include "MatchStream.h"

namespace Quorvel::Pipeline {

// Joins the pieces of one match that several inputs hold (a session kept at a reload
// and the player's file, a copy and the whole file, a crash journal): pieces of one
// player, GUID and server within Thresholds::kMatchPause of each other are one match,
// joined by their seconds, each second once, so that the answer is the same whatever the
// order or spelling of the inputs. Pieces come in the order of their start; a match is
// handed on once no later piece can join it (the stream has passed its end by the pause),
// so memory holds the matches of the last kMatchPause of play, and at most kHeldRows rows
// beside the latest match.
class MatchJoiner {
  public:
    // `inputs` must outlive the joiner.
    explicit MatchJoiner(const std::vector<Read::Input>& inputs) : sources(inputs) {}

    // Takes the next piece; the matches no later piece can join go to `ready`, in the
    // order of their start.
    void add(ReadMatch piece, std::vector<ReadMatch>& ready);
    // Every match still held goes to `ready`.
    void finish(std::vector<ReadMatch>& ready);

    static constexpr std::size_t kHeldRows = std::size_t{1} << 16;
    static constexpr std::size_t kHeldMatches = 1024;

  private:
    struct Held {
        std::vector<ReadMatch> pieces;
        std::chrono::sys_seconds first;  // the earliest second of any piece
        std::chrono::sys_seconds last;   // the latest
        std::size_t rows = 0;
    };

    void release(std::vector<ReadMatch>& ready);

    const std::vector<Read::Input>& sources;
    std::deque<Held> held;  // in the order of their start
    std::size_t heldRows = 0;
};

// The match the pieces make: the seconds of the piece with the most rows as they are,
// then from the others (in that order) the seconds none before held, all in time order;
// its texts from the piece that begins first; its origin saying which pieces added
// seconds and whether the game closed during it. `inputs` tells which are journals.
ReadMatch joinPieces(std::vector<ReadMatch> pieces, const std::vector<Read::Input>& inputs);

}  // namespace Quorvel::Pipeline
