#pragma once

// What each kind of event is measured by, when it counts in the verdict, and which
// events explain others, for the event finder and the verdict alike.

#include <cstdint>

#include "Event.h"
#include "MatchFigures.h"

namespace Quorvel::Analysis {

// True when `a` is worse than `b`, two events of one kind.
bool worse(const Event& a, const Event& b);

// The size of an event in its kind's own measure, as the verdict names a range of them:
// the most packets lost in a second, how far above typical a spike went (ms), the
// lowest FPS, the share of packets a steady loss lost (%), the length in seconds for
// the rest.
double eventSize(const Event& e);

// Whether an event is large enough to count in the verdict (before any other event
// explains it); `matchLossPercent` is the match's loss, in or out, whichever is higher.
bool largeEnoughToCount(const Event& e, double matchLossPercent);

// What the seconds of a match are covered by, as other events are explained.
enum Cover : std::uint8_t {
    kLossCover = 1,       // a loss burst that counts
    kStallCover = 2,      // nothing coming in or an outage, counting
    kSteadyCover = 8,     // steady loss
    kUnstableCover = 16,  // unstable ping that counts
    kSpikeCover = 4,      // a ping spike that counts
};

// The covers that explain an event of this kind: a ping spike while nothing comes in is
// the stall's, inside unstable ping one of its swings; an FPS drop, stutter or a full input buffer
// during a loss burst, a stall or a spike are theirs; a loss burst inside steady loss is part of
// it. Zero: nothing explains it.
std::uint8_t explainingCovers(EventKind kind);

// The cover an event that counts lays over its seconds.
std::uint8_t coverOf(EventKind kind);

}  // namespace Quorvel::Analysis
