#pragma once

// What the event detectors share: the match they read, the events they record, and the
// runs of qualifying seconds they follow.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "EventRules.h"
#include "MatchEvents.h"
#include "MatchTime.h"

namespace Quorvel::Analysis {

// Rows first..last of a match, both included; none when last is before first.
struct RowSpan {
    std::size_t first = 0;
    std::size_t last = 0;
};

// One match being searched. Events are recorded as they end; each is decided then
// (large enough, and not explained by a cover laid before), so the detectors run in
// passes: the explaining kinds first.
class Detection {
  public:
    Detection(const MatchRows& rows, const MatchFigures& matchFigures, MatchEvents& out);

    const MatchRows& match;
    const MatchFigures& figures;

    // Records an event over `span`; `explained` says another event explains it.
    void record(Event event, RowSpan span, bool explained);
    // Whether any row of `span` is covered by one of the covers in `mask`.
    bool covered(RowSpan span, std::uint8_t mask) const;
    // The share of `rows` covered by one of the covers in `mask`.
    double coveredShare(const std::vector<std::size_t>& rows, std::uint8_t mask) const;
    // Whether the events laid before explain an event of `kind` over `span`.
    bool explained(EventKind kind, RowSpan span) const;
    // A gap in the recording between row i - 1 and row i.
    bool gapBefore(std::size_t i) const {
        return i > 0 && Matches::isGap(match.seconds[i - 1], match.seconds[i]);
    }
    // The worst of each kind joins the list if it was left out; the list in time order.
    void finish();

  private:
    void summarize(const Event& event);

    MatchEvents& events;
    std::vector<std::uint8_t> covers;  // per row
    PerEventKind<std::size_t> listed;
    double matchLossPercent;
};

// Follows runs of qualifying seconds of one kind, each recorded when it ends; a gap in
// the recording ends a run.
template <typename Detail>
class RunTracker {
  public:
    // `ended`, when given, hears of each event recorded, with its rows.
    using Ended = std::function<void(const Event&, std::size_t firstRow, std::size_t lastRow)>;
    // `decide`, when given, may make the run an event of another kind before it is
    // recorded (a stall in which packets out stopped too is an outage).
    using Decide = std::function<void(Event&)>;
    explicit RunTracker(Detection& detection, std::int64_t minimumSeconds = 1, Ended ended = {},
                        Decide decide = {})
        : found(detection),
          minimumLength(minimumSeconds),
          onEnded(std::move(ended)),
          onDecide(std::move(decide)) {}

    // Row i qualifies (or not); the open event's detail, for the caller to update.
    Detail* step(std::size_t i, bool qualifies) {
        const bool continues = open && lastRow + 1 == i && !found.gapBefore(i);
        if (open && (!qualifies || !continues)) {
            close();
        }
        if (!qualifies) {
            return nullptr;
        }
        const MatchRows& rows = found.match;
        if (!open) {
            open = true;
            firstRow = i;
            current = Event{{rows.offsets[i], rows.seconds[i].time, 0, 0}, Detail{}};
        }
        lastRow = i;
        ++current.when.rows;
        current.when.lengthSeconds = rows.offsets[i] - current.when.offset + 1;
        return &std::get<Detail>(current.what);
    }

    void finish() {
        if (open) {
            close();
        }
    }

    // The open run began at the row just stepped.
    bool startedHere() const { return current.when.rows == 1; }
    // Rows in the open run.
    std::size_t rows() const { return current.when.rows; }

  private:
    void close() {
        open = false;
        if (current.when.lengthSeconds < minimumLength) {
            return;
        }
        Event event = current;
        if (onDecide) {
            onDecide(event);
        }
        const RowSpan span{firstRow, lastRow};
        found.record(event, span, found.explained(event.kind(), span));
        if (onEnded) {
            onEnded(event, firstRow, lastRow);
        }
    }

    Detection& found;
    std::int64_t minimumLength;
    Ended onEnded;
    Decide onDecide;
    bool open = false;
    std::size_t firstRow = 0;
    std::size_t lastRow = 0;
    Event current;
};

// The passes, in the order they must run.
void findRecordingAndPacketEvents(Detection& detection);
void findPingAndLatencyEvents(Detection& detection);
void findFrameEvents(Detection& detection);

}  // namespace Quorvel::Analysis
