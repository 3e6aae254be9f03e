#include "MatchJoiner.h"

#include <algorithm>
#include <numeric>
#include <unordered_set>
#include <utility>

#include "Thresholds.h"

namespace Quorvel::Pipeline {

namespace {

using Matches::MatchInfo;
using Matches::MatchPiece;
using std::chrono::sys_seconds;

struct Span {
    sys_seconds first;
    sys_seconds last;
};

Span spanOf(const MatchRows& rows) {
    Span span{rows.seconds.front().time, rows.seconds.front().time};
    for (const Second& s : rows.seconds) {
        span.first = std::min(span.first, s.time);
        span.last = std::max(span.last, s.time);
    }
    return span;
}

// Whether a piece of `info` over `span` belongs to the match held over `first`..`last`.
bool joins(const MatchInfo& info, Span span, const MatchInfo& heldInfo, sys_seconds first,
           sys_seconds last) {
    return !info.matchGuid.empty() && info.sameMatchAs(heldInfo) &&
           span.first <= last + Thresholds::kMatchPause &&
           first <= span.last + Thresholds::kMatchPause;
}

// A total order of seconds by time, then values: two pieces that differ are told apart
// by what they hold, never by the order they were named in.
bool secondsBefore(const std::vector<Second>& a, const std::vector<Second>& b) {
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(), [](const Second& x, const Second& y) {
            return x.time != y.time ? x.time < y.time : x.values.values < y.values.values;
        });
}

// The order the pieces give their seconds in: the most rows first, a finished file
// before a journal, the earlier start, what they hold; the input last (only pieces that
// hold the same are told apart by it, and they give the same match).
std::vector<std::size_t> rankPieces(const std::vector<ReadMatch>& pieces,
                                    const std::vector<Span>& spans,
                                    const std::vector<Read::Input>& inputs) {
    std::vector<std::size_t> order(pieces.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const MatchRows& x = pieces[a].rows;
        const MatchRows& y = pieces[b].rows;
        if (x.seconds.size() != y.seconds.size()) {
            return x.seconds.size() > y.seconds.size();
        }
        const bool xJournal = inputs[pieces[a].input].unfinished();
        const bool yJournal = inputs[pieces[b].input].unfinished();
        if (xJournal != yJournal) {
            return yJournal;
        }
        if (spans[a].first != spans[b].first) {
            return spans[a].first < spans[b].first;
        }
        if (secondsBefore(x.seconds, y.seconds) || secondsBefore(y.seconds, x.seconds)) {
            return secondsBefore(x.seconds, y.seconds);
        }
        return pieces[a].input < pieces[b].input;
    });
    return order;
}

// Whether the latest second came only from journals the game left unfinished.
bool endsInAJournal(const std::vector<ReadMatch>& pieces, const std::vector<Span>& spans,
                    const std::vector<Read::Input>& inputs) {
    std::optional<sys_seconds> finished;
    std::optional<sys_seconds> unfinished;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        auto& latest = inputs[pieces[i].input].unfinished() ? unfinished : finished;
        latest = latest ? std::max(*latest, spans[i].last) : spans[i].last;
    }
    return unfinished && (!finished || *unfinished > *finished);
}

// The seconds of the pieces taken in `order`: the first one's as they are, then from each
// of the others the seconds none before held, all in time order; `shares` gets what each
// piece gave.
std::vector<Second> mergeSeconds(std::vector<ReadMatch>& pieces,
                                 const std::vector<std::size_t>& order,
                                 const std::vector<Read::Input>& inputs,
                                 std::vector<MatchPiece>& shares) {
    std::vector<Second> seconds = std::move(pieces[order[0]].rows.seconds);
    shares.assign(pieces.size(), {});
    shares[order[0]] = {pieces[order[0]].input, seconds.size(), seconds.size(),
                        inputs[pieces[order[0]].input].unfinished()};
    std::unordered_set<std::int64_t> known(seconds.size() * 2);
    for (const Second& s : seconds) {
        known.insert(s.time.time_since_epoch().count());
    }
    const std::size_t before = seconds.size();
    for (std::size_t k = 1; k < order.size(); ++k) {
        const ReadMatch& piece = pieces[order[k]];
        MatchPiece& share = shares[order[k]];
        share = {piece.input, piece.rows.seconds.size(), 0, inputs[piece.input].unfinished()};
        for (const Second& s : piece.rows.seconds) {
            if (known.insert(s.time.time_since_epoch().count()).second) {
                seconds.push_back(s);
                ++share.newSeconds;
            }
        }
    }
    if (seconds.size() > before) {
        std::stable_sort(seconds.begin(), seconds.end(),
                         [](const Second& a, const Second& b) { return a.time < b.time; });
    }
    return seconds;
}

}  // namespace

ReadMatch joinPieces(std::vector<ReadMatch> pieces, const std::vector<Read::Input>& inputs) {
    if (pieces.size() == 1) {  // most matches: as they were read
        ReadMatch only = std::move(pieces.front());
        const bool journal = inputs[only.input].unfinished();
        only.rows.origin = {
            {{only.input, only.rows.seconds.size(), only.rows.seconds.size(), journal}}, journal};
        return only;
    }
    std::vector<Span> spans;
    spans.reserve(pieces.size());
    for (const ReadMatch& piece : pieces) {
        spans.push_back(spanOf(piece.rows));
    }
    const std::vector<std::size_t> order = rankPieces(pieces, spans, inputs);
    // The texts and the input of the piece that begins first (on a tie, the first ranked).
    const std::size_t opening = *std::min_element(
        order.begin(), order.end(),
        [&spans](std::size_t a, std::size_t b) { return spans[a].first < spans[b].first; });
    ReadMatch joined{pieces[opening].input, {}};
    joined.rows.info = pieces[opening].rows.info;
    joined.rows.origin.cutShort = endsInAJournal(pieces, spans, inputs);
    std::vector<MatchPiece> shares;
    const std::vector<Second> seconds = mergeSeconds(pieces, order, inputs, shares);
    joined.rows.seconds.reserve(seconds.size());
    joined.rows.offsets.reserve(seconds.size());
    for (const Second& s : seconds) {
        joined.rows.push(s);
    }
    // The opening piece first, then the others as they begin.
    std::vector<std::size_t> byStart(pieces.size());
    std::iota(byStart.begin(), byStart.end(), 0);
    std::stable_sort(byStart.begin(), byStart.end(), [&](std::size_t a, std::size_t b) {
        return (a == opening) != (b == opening) ? a == opening : spans[a].first < spans[b].first;
    });
    for (std::size_t i : byStart) {
        joined.rows.origin.pieces.push_back(shares[i]);
    }
    return joined;
}

void MatchJoiner::add(ReadMatch piece, std::vector<ReadMatch>& ready) {
    const Span span = spanOf(piece.rows);
    // Pieces come by start: a match that ended more than the pause before this one began
    // can be joined by none to come.
    while (!held.empty() && held.front().last + Thresholds::kMatchPause < span.first) {
        release(ready);
    }
    const std::size_t rows = piece.rows.seconds.size();
    auto into = std::find_if(held.rbegin(), held.rend(), [&](const Held& h) {
        return joins(piece.rows.info, span, h.pieces.front().rows.info, h.first, h.last);
    });
    if (into == held.rend()) {
        held.push_back({{}, span.first, span.last, 0});
        into = held.rbegin();
    }
    into->pieces.push_back(std::move(piece));
    into->first = std::min(into->first, span.first);
    into->last = std::max(into->last, span.last);
    into->rows += rows;
    heldRows += rows;
    while (held.size() > 1 && (heldRows > kHeldRows || held.size() > kHeldMatches)) {
        release(ready);
    }
}

void MatchJoiner::finish(std::vector<ReadMatch>& ready) {
    while (!held.empty()) {
        release(ready);
    }
}

void MatchJoiner::release(std::vector<ReadMatch>& ready) {
    Held& front = held.front();
    heldRows -= front.rows;
    ready.push_back(joinPieces(std::move(front.pieces), sources));
    held.pop_front();
}

}  // namespace Quorvel::Pipeline
