#include "game/fast_search.h"

#include <array>
#include <cstring>
#include <vector>

#include "game/hex_bit_sets.h"
#include "game/search_position.h"

namespace {

constexpr std::size_t maxSlots = 4;

// The search on a `SearchPosition` of `Words` words per cell set. It walks the same tree as the
// plain search (same colours in the same order, same cut-offs, same abort polls) and so makes
// the same choices after the same number of simulated moves; only a move is cheaper.
//
// A move floods the mover's territory: its owned cells of the old colour, and every unowned
// area of the new colour it touches. An unowned area (a connected set of unowned cells of one
// colour) is taken whole or not at all, so the areas found when the search starts stay as they
// are until taken. Each node therefore finds the mover's territory and the unowned cells around
// it once; a child's move then adds the areas of its colour that touch them. Moves are made and
// taken back by saving the four sets they change; a move at the last ply is not made at all,
// its count is enough for the evaluation.
template <int Words>
class FastSearch {
  public:
    using Set = std::array<std::uint64_t, Words>;

    FastSearch(const SearchPosition& position, const std::atomic<bool>& abort)
        : position_(position), abort_(abort) {
        load(position.evenColumns, layout_.even);
        layout_.strideWords = position.strideWords;
        layout_.strideBits = static_cast<unsigned>(position.strideBits);
        load(position.gridCells, grid_);
        load(position.owned, owned_);
        colours_.resize(position.colourValues.size());
        for (std::size_t k = 0; k < colours_.size(); ++k) {
            load(position.colours, colours_[k], k * Words);
        }
        for (std::size_t slot = 0; slot < maxSlots; ++slot) {
            load(position.territories, territories_[slot], slot * Words);
        }
        scores_ = position.scores;
        active_ = position.active;
        for (std::size_t slot = 0; slot < maxSlots; ++slot) {
            activeBits_[slot] = active_[slot] ? -1 : 0;
        }
        startColour_ = position.startColour;
        current_ = position.currentPlayer;
        worst_ = position.worst;
        // Each territory as far as it reaches now, so that the first floods need not find it.
        for (std::size_t slot = 0; slot < maxSlots; ++slot) {
            const int bit = position.startBit[slot];
            if (bit < 0 || position.startOffGrid[slot] || !hasBit(owned_, bit)) {
                continue;
            }
            const Set& colour = colours_[static_cast<std::size_t>(startColour_[slot])];
            Set allowed;
            for (int i = 0; i < Words; ++i) {
                allowed[i] = owned_[i] & colour[i] & grid_[i];
            }
            grow(territories_[slot], allowed);
        }
        // The unowned areas of the colours a move can take.
        areaOf_.assign(static_cast<std::size_t>(Words) * 64, -1);
        for (int colour = 1; colour <= 7; ++colour) {
            const Set& cells = colours_[static_cast<std::size_t>(colour)];
            Set allowed;
            for (int i = 0; i < Words; ++i) {
                allowed[i] = cells[i] & ~owned_[i] & grid_[i];
            }
            Set left = allowed;
            for (int i = 0; i < Words; ++i) {
                while (left[i] != 0) {
                    Set area{};
                    area[i] = left[i] & (~left[i] + 1);
                    grow(area, allowed);
                    const int id = static_cast<int>(areas_.size());
                    for (int j = 0; j < Words; ++j) {
                        left[j] &= ~area[j];
                        for (std::uint64_t bits = area[j]; bits != 0; bits &= bits - 1) {
                            areaOf_[static_cast<std::size_t>(j * 64 + __builtin_ctzll(bits))] = id;
                        }
                    }
                    areas_.push_back(area);
                    areaSizes_.push_back(countBits(area));
                    areaColours_.push_back(static_cast<std::size_t>(colour));
                }
            }
        }
        areaStamps_.assign(areas_.size(), 0);
        for (const Set& area : areas_) {
            areaHalos_.emplace_back();
            neighbours(area, areaHalos_.back());
        }
        for (std::size_t slot = 0; slot < maxSlots; ++slot) {
            if (position.startBit[slot] >= 0 && !position.startOffGrid[slot]) {
                neighbours(territories_[slot], arounds_[slot]);
            }
            territoryCounts_[slot] = countBits(territories_[slot]);
            // The next active slot after this one, wrapping.
            const int count = position.numPlayers;
            int next = static_cast<int>(slot);
            for (int step = 0; step < count; ++step) {
                next = (next + 1) % count;
                if (active_[static_cast<std::size_t>(next)]) {
                    break;
                }
            }
            next_[slot] = next;
        }
        tidy_ = isTidy();
    }

    std::int32_t run() {
        const std::int32_t depth = searchDepth(position_.difficulty, position_.activePlayers);
        ScoreVector result{};
        return searchRoot(current_, result, worst_, depth);
    }

    std::int64_t simulatedMoves() const { return simulated_; }

  private:
    // What a made move changed: the cells that took the new colour from the old one, the cells
    // it took into ownership, and what it overwrote.
    struct Saved {
        Set recoloured;
        Set taken;
        Set territory;
        Set around;
        std::array<int, maxSlots> startColour;
        std::int32_t score;
        std::int32_t territoryCount;
        bool tidy;
    };

    // What every move of one node's mover starts from.
    struct MoverView {
        bool hasStart = false;
        bool offGrid = false;
        // Owned cells of the mover's colour outside its territory: a move may reach them.
        bool loose = false;
        // The territory is known exactly, with the cells around it.
        bool exact = false;
        std::int32_t count = 0;
        Set territory;
        Set around;  // the cells next to the territory
        Set border;  // the unowned ones among them
    };

    // Whether every owned cell of a playable colour lies in the territory of the one active
    // player showing that colour. Moves keep it so (a move takes a colour nobody shows), and
    // while it holds, a territory is known exactly from the last move and no move reaches owned
    // cells beyond the mover's territory.
    bool isTidy() const {
        unsigned shown = 0;
        std::array<int, 8> holder{-1, -1, -1, -1, -1, -1, -1, -1};
        for (std::size_t slot = 0; slot < maxSlots; ++slot) {
            const int bit = position_.startBit[slot];
            if (!active_[slot] || bit < 0) {
                continue;
            }
            const int colour = position_.colourValues[static_cast<std::size_t>(startColour_[slot])];
            if (colour == 0) {
                continue;
            }
            if (colour < 1 || colour > 7 || (shown & (1u << colour)) || !hasBit(owned_, bit)) {
                return false;
            }
            shown |= 1u << colour;
            holder[static_cast<std::size_t>(colour)] = static_cast<int>(slot);
        }
        for (std::size_t colour = 1; colour <= 7; ++colour) {
            const Set& cells = colours_[colour];
            const int slot = holder[colour];
            for (int i = 0; i < Words; ++i) {
                const std::uint64_t territory =
                    slot < 0 ? 0 : territories_[static_cast<std::size_t>(slot)][i];
                if ((owned_[i] & cells[i]) != territory) {
                    return false;
                }
            }
        }
        return true;
    }

    static std::int32_t countBits(const Set& set) {
        std::int32_t count = 0;
        for (int i = 0; i < Words; ++i) {
            count += __builtin_popcountll(set[i]);
        }
        return count;
    }

    static void load(const std::vector<std::uint64_t>& from, Set& to, std::size_t offset = 0) {
        for (int i = 0; i < Words; ++i) {
            to[i] = from[offset + static_cast<std::size_t>(i)];
        }
    }

    static bool hasBit(const Set& set, int bit) {
        return (set[static_cast<std::size_t>(bit) / 64] >> (static_cast<unsigned>(bit) % 64)) & 1u;
    }

    void neighbours(const Set& from, Set& to) const {
        hex_bit_sets::neighbours<Words>(layout_, from, to);
    }

    // Adds to `area` every cell of `allowed` connected to it.
    void grow(Set& area, const Set& allowed) const {
        hex_bit_sets::grow<Words>(layout_, area, allowed);
    }

    void viewMover(int mover, MoverView& view) const {
        const std::size_t slot = static_cast<std::size_t>(mover);
        const int start = position_.startBit[slot];
        view.hasStart = start >= 0;
        if (!view.hasStart) {
            return;
        }
        Set& territory = view.territory;
        territory.fill(0);
        territory[static_cast<std::size_t>(start) / 64] = std::uint64_t{1}
                                                          << (static_cast<unsigned>(start) % 64);
        view.offGrid = position_.startOffGrid[slot];
        view.exact = false;
        if (view.offGrid) {
            view.count = 1;
            view.loose = false;
            view.around.fill(0);
            return;
        }
        const int colourValue =
            position_.colourValues[static_cast<std::size_t>(startColour_[slot])];
        if (tidy_ && colourValue >= 1 && colourValue <= 7) {
            // Its territory is all the owned cells of its colour, as the last move left it.
            territory = territories_[slot];
            view.around = arounds_[slot];
            for (int i = 0; i < Words; ++i) {
                view.border[i] = view.around[i] & ~owned_[i] & grid_[i];
            }
            view.loose = false;
            view.exact = true;
            view.count = territoryCounts_[slot];
            return;
        }
        const Set& old = colours_[static_cast<std::size_t>(startColour_[slot])];
        const Set& known = territories_[slot];
        Set ownedOld;
        std::uint64_t stale = 0;
        for (int i = 0; i < Words; ++i) {
            ownedOld[i] = owned_[i] & old[i];
            stale |= known[i] & ~ownedOld[i];
            ownedOld[i] &= grid_[i];
        }
        // What is known of the territory is a sound seed while all of it still is.
        if (stale == 0) {
            territory = known;
        }
        grow(territory, ownedOld);
        Set& around = view.around;
        neighbours(territory, around);
        std::uint64_t loose = 0;
        for (int i = 0; i < Words; ++i) {
            view.border[i] = around[i] & ~owned_[i] & grid_[i];
            loose |= ownedOld[i] & ~territory[i];
        }
        view.loose = loose != 0;
        view.count = countBits(territory);
    }

    // The mover's territory after taking `colour` (into `area`, with the cells around it into
    // `around`, when `wanted`, or whenever the flood has to be followed cell by cell). Returns
    // its number of cells.
    std::int32_t flood(int mover, const MoverView& view, int colour, Set& area, Set& around,
                       bool wanted) {
        if (view.offGrid) {
            area = view.territory;
            around.fill(0);
            return 1;
        }
        wanted = wanted || view.loose;
        if (wanted) {
            area = view.territory;
            around = view.around;
        }
        std::int32_t count = view.count;
        const Set& fresh = colours_[static_cast<std::size_t>(colour)];
        ++stamp_;
        for (int i = 0; i < Words; ++i) {
            std::uint64_t touched = view.border[i] & fresh[i];
            while (touched != 0) {
                const int bit = i * 64 + __builtin_ctzll(touched);
                touched &= touched - 1;
                const std::size_t id =
                    static_cast<std::size_t>(areaOf_[static_cast<std::size_t>(bit)]);
                if (areaStamps_[id] == stamp_) {
                    continue;
                }
                areaStamps_[id] = stamp_;
                count += areaSizes_[id];
                if (wanted) {
                    const Set& cells = areas_[id];
                    const Set& halo = areaHalos_[id];
                    for (int j = 0; j < Words; ++j) {
                        area[j] |= cells[j];
                        around[j] |= halo[j];
                    }
                }
            }
        }
        if (view.loose) {
            // Owned cells of the old colour may join through the new areas: follow the flood.
            const std::size_t slot = static_cast<std::size_t>(mover);
            const Set& old = colours_[static_cast<std::size_t>(startColour_[slot])];
            Set allowed;
            for (int i = 0; i < Words; ++i) {
                allowed[i] = ((owned_[i] & old[i]) | (~owned_[i] & fresh[i])) & grid_[i];
            }
            grow(area, allowed);
            neighbours(area, around);
            count = countBits(area);
        }
        return count;
    }

    void make(int mover, int colour, const Set& area, const Set& around, std::int32_t count,
              Saved& saved) {
        const std::size_t slot = static_cast<std::size_t>(mover);
        Set& oldSet = colours_[static_cast<std::size_t>(startColour_[slot])];
        Set& newSet = colours_[static_cast<std::size_t>(colour)];
        saved.territory = territories_[slot];
        saved.around = arounds_[slot];
        saved.territoryCount = territoryCounts_[slot];
        saved.startColour = startColour_;
        saved.score = scores_[slot];
        saved.tidy = tidy_;
        // The flood holds cells of the old colour and of the new one only.
        for (int i = 0; i < Words; ++i) {
            saved.recoloured[i] = area[i] & ~newSet[i];
            saved.taken[i] = area[i] & ~owned_[i];
            oldSet[i] &= ~area[i];
            newSet[i] |= area[i];
            owned_[i] |= area[i];
        }
        const bool wasUncoloured = startColour_[slot] == 0;
        territories_[slot] = area;
        arounds_[slot] = around;
        territoryCounts_[slot] = count;
        scores_[slot] = count;
        for (std::size_t other = 0; other < maxSlots; ++other) {
            const int bit = position_.startBit[other];
            if (bit >= 0 && hasBit(area, bit)) {
                startColour_[other] = colour;
                // Two players now show one colour: territories are no longer told apart.
                if (other != slot && active_[other] && wasUncoloured) {
                    tidy_ = false;
                }
            }
        }
    }

    void unmake(int mover, int colour, const Saved& saved) {
        const std::size_t slot = static_cast<std::size_t>(mover);
        startColour_ = saved.startColour;
        Set& oldSet = colours_[static_cast<std::size_t>(startColour_[slot])];
        Set& newSet = colours_[static_cast<std::size_t>(colour)];
        for (int i = 0; i < Words; ++i) {
            newSet[i] &= ~saved.recoloured[i];
            oldSet[i] |= saved.recoloured[i];
            owned_[i] &= ~saved.taken[i];
        }
        territories_[slot] = saved.territory;
        arounds_[slot] = saved.around;
        territoryCounts_[slot] = saved.territoryCount;
        scores_[slot] = saved.score;
        tidy_ = saved.tidy;
    }

    int nextActive(int from) const { return next_[static_cast<std::size_t>(from)]; }

    bool aborted() const { return abort_.load(); }

    // The colours some active player's start cell shows, one bit per colour number.
    unsigned heldColours() const {
        unsigned held = 0;
        for (std::size_t slot = 0; slot < maxSlots; ++slot) {
            if (active_[slot] && position_.startBit[slot] >= 0) {
                const int colour =
                    position_.colourValues[static_cast<std::size_t>(startColour_[slot])];
                if (colour >= 1 && colour <= 7) {
                    held |= 1u << colour;
                }
            }
        }
        return held;
    }

    bool startUncoloured(int slot) const {
        const std::size_t s = static_cast<std::size_t>(slot);
        return position_.startBit[s] >= 0 && startColour_[s] == 0;
    }

    // The margin evaluation of `evaluateScores`, written out for four slots without branches.
    // An inactive slot counts as a score of 0 here: with no score below 0 that changes no sum,
    // no comparison and neither the leader nor the second, and every value is the same
    // division of the same whole numbers (all sums and differences exact in single precision),
    // so each result is bit for bit the same. The four divisions are done as one.
    ScoreVector evaluate() const {
        using Four = float __attribute__((vector_size(16)));
        using FourBits = std::int32_t __attribute__((vector_size(16)));
        const float v0 = active_[0] ? static_cast<float>(scores_[0]) : 0.0f;
        const float v1 = active_[1] ? static_cast<float>(scores_[1]) : 0.0f;
        const float v2 = active_[2] ? static_cast<float>(scores_[2]) : 0.0f;
        const float v3 = active_[3] ? static_cast<float>(scores_[3]) : 0.0f;
        const float total = ((v0 + v1) + v2) + v3;
        // The largest and the second largest value (equal when two share the lead).
        const float high01 = v0 > v1 ? v0 : v1;
        const float low01 = v0 > v1 ? v1 : v0;
        const float high23 = v2 > v3 ? v2 : v3;
        const float low23 = v2 > v3 ? v3 : v2;
        const float leader = high01 > high23 ? high01 : high23;
        const float lowerHigh = high01 > high23 ? high23 : high01;
        const float higherLow = low01 > low23 ? low01 : low23;
        const float second = lowerHigh > higherLow ? lowerHigh : higherLow;
        const Four values = {v0, v1, v2, v3};
        const Four zero = {0.0f, 0.0f, 0.0f, 0.0f};
        // What each trails every other value by, summed in slot order.
        Four behind = zero;
        for (const float other : {v0, v1, v2, v3}) {
            const Four gap = Four{other, other, other, other} - values;
            behind += reinterpret_cast<Four>(reinterpret_cast<FourBits>(gap) & (gap > zero));
        }
        const FourBits singleLeader =
            (values == Four{leader, leader, leader, leader}) & (second != leader ? -1 : 0);
        const Four lead = values - Four{second, second, second, second};
        const FourBits numerators = (reinterpret_cast<FourBits>(lead) & singleLeader) |
                                    (reinterpret_cast<FourBits>(-behind) & ~singleLeader);
        const Four quotients =
            reinterpret_cast<Four>(numerators) / Four{total, total, total, total};
        const FourBits kept = reinterpret_cast<FourBits>(quotients) & activeBits_;
        ScoreVector result;
        std::memcpy(result.data(), &kept, sizeof result);
        return result;
    }

    // Plays `colour` for the mover, lets the next player answer, takes it all back.
    void simulateAndAnswer(int mover, const MoverView& view, int colour, ScoreVector& answer,
                           float bound, std::int32_t depth, bool answerFromFirstMove) {
        ++simulated_;
        const std::size_t slot = static_cast<std::size_t>(mover);
        const int next = nextActive(mover);
        const int nextStart = position_.startBit[static_cast<std::size_t>(next)];
        const bool askFirstMove = answerFromFirstMove && nextStart >= 0;
        const bool leaf =
            depth <= 0 && !(askFirstMove && startColour_[static_cast<std::size_t>(next)] == 0);
        Set area;
        Set around;
        std::int32_t count = 0;
        if (view.hasStart) {
            count = flood(mover, view, colour, area, around, !leaf);
        }
        // The next player answers with a first move while its start cell stays uncoloured.
        const bool firstMove = askFirstMove && startColour_[static_cast<std::size_t>(next)] == 0 &&
                               !(view.hasStart && hasBit(area, nextStart));
        if (!firstMove && depth <= 0) {
            // The answer is the evaluation of the position after the move: only the score moves.
            const std::int32_t score = scores_[slot];
            if (view.hasStart) {
                scores_[slot] = count;
            }
            answer = evaluate();
            scores_[slot] = score;
            return;
        }
        auto answerMove = [&] {
            current_ = next;
            if (firstMove) {
                searchFirstMove(mover, answer, bound, depth);
            } else {
                searchNode(mover, answer, bound, depth);
            }
            current_ = mover;
        };
        if (view.hasStart) {
            Saved saved;
            make(mover, colour, area, around, count, saved);
            answerMove();
            unmake(mover, colour, saved);
        } else {
            answerMove();
        }
    }

    bool tryColour(int mover, const MoverView& view, int root, ScoreVector& best,
                   ScoreVector& scratch, float& bestValue, float bound, std::int32_t& bestColour,
                   int colour, std::int32_t depth) {
        simulateAndAnswer(mover, view, colour, scratch, bestValue, depth, true);
        const std::size_t moverSlot = static_cast<std::size_t>(mover);
        if (bestValue < scratch[moverSlot]) {
            bestValue = scratch[moverSlot];
            bestColour = colour;
            best = scratch;
            return bound >= scratch[static_cast<std::size_t>(root)];
        }
        return false;
    }

    std::int32_t searchNode(int parent, ScoreVector& result, float bound, std::int32_t depth) {
        if (depth <= 0) {
            result = evaluate();
            return 0;
        }
        const int mover = current_;
        const std::size_t moverSlot = static_cast<std::size_t>(mover);
        const unsigned held = heldColours();
        MoverView view;
        viewMover(mover, view);
        float best = worst_;
        std::int32_t bestColour = 0;
        ScoreVector scratch{};
        std::array<std::int32_t, 7> evaluatedCounts{};
        std::array<ScoreVector, 7> evaluations;
        std::size_t evaluated = 0;
        // At the last ply, what each colour would add, found in one pass over the border.
        std::array<std::int32_t, 8> gains{};
        const bool gainsKnown = depth == 1 && view.hasStart && !view.offGrid && !view.loose;
        if (gainsKnown) {
            ++stamp_;
            for (int i = 0; i < Words; ++i) {
                for (std::uint64_t cells = view.border[i]; cells != 0; cells &= cells - 1) {
                    const int area =
                        areaOf_[static_cast<std::size_t>(i * 64 + __builtin_ctzll(cells))];
                    if (area < 0) {
                        continue;
                    }
                    const std::size_t id = static_cast<std::size_t>(area);
                    if (areaStamps_[id] != stamp_) {
                        areaStamps_[id] = stamp_;
                        gains[areaColours_[id]] += areaSizes_[id];
                    }
                }
            }
        }
        for (int colour = 1; colour <= 7; ++colour) {
            if (held & (1u << colour)) {
                continue;
            }
            if (depth == 1) {
                // The answer is the evaluation after the move: only the mover's score moves, and
                // moves that end with the same count share one evaluation.
                ++simulated_;
                std::int32_t count = scores_[moverSlot];
                if (gainsKnown) {
                    count = view.count + gains[static_cast<std::size_t>(colour)];
                } else if (view.hasStart) {
                    Set unusedArea;
                    Set unusedAround;
                    count = flood(mover, view, colour, unusedArea, unusedAround, false);
                }
                std::size_t known = 0;
                while (known < evaluated && evaluatedCounts[known] != count) {
                    ++known;
                }
                if (known == evaluated) {
                    const std::int32_t score = scores_[moverSlot];
                    scores_[moverSlot] = count;
                    evaluatedCounts[known] = count;
                    evaluations[known] = evaluate();
                    ++evaluated;
                    scores_[moverSlot] = score;
                }
                scratch = evaluations[known];
            } else {
                simulateAndAnswer(mover, view, colour, scratch, best, depth - 1, false);
            }
            bool cutOffTest = false;
            if (bestColour == 0 || best < scratch[moverSlot]) {
                best = scratch[moverSlot];
                bestColour = colour;
                result = scratch;
                cutOffTest = true;
            } else if (best == scratch[moverSlot]) {
                cutOffTest = true;
            }
            if (cutOffTest && bound >= scratch[static_cast<std::size_t>(parent)]) {
                return bestColour;
            }
            if (aborted()) {
                return bestColour;
            }
        }
        return bestColour;
    }

    std::int32_t searchFirstMove(int parent, ScoreVector& result, float bound, std::int32_t depth) {
        const int mover = current_;
        const std::size_t moverSlot = static_cast<std::size_t>(mover);
        std::array<int, 14> candidates{};
        std::size_t candidateCount = 0;
        unsigned present = 0;
        auto addCandidate = [&](int colour) {
            if (colour < 1 || colour > 7 || (present & (1u << colour))) {
                return;
            }
            present |= 1u << colour;
            candidates[candidateCount++] = colour;
        };
        for (const int bit : position_.startNeighbours[moverSlot]) {
            if (bit < 0) {
                continue;
            }
            for (std::size_t k = 0; k < colours_.size(); ++k) {
                if (hasBit(colours_[k], bit)) {
                    addCandidate(position_.colourValues[k]);
                    break;
                }
            }
        }
        for (int colour = 1; colour <= 7; ++colour) {
            addCandidate(colour);
        }
        const unsigned held = heldColours();
        MoverView view;
        viewMover(mover, view);
        float best = worst_;
        std::int32_t bestColour = 0;
        ScoreVector scratch{};
        for (std::size_t i = 0; i < candidateCount; ++i) {
            const int colour = candidates[i];
            if (held & (1u << colour)) {
                continue;
            }
            if (tryColour(mover, view, parent, result, scratch, best, bound, bestColour, colour,
                          depth - 1) ||
                aborted()) {
                break;
            }
        }
        return bestColour;
    }

    std::int32_t searchRoot(int root, ScoreVector& result, float bound, std::int32_t depth) {
        ScoreVector scratch{};
        if (depth <= 1) {
            return startUncoloured(root) ? searchFirstMove(root, scratch, worst_, depth)
                                         : searchNode(root, scratch, worst_, depth);
        }
        const unsigned held = heldColours();
        MoverView view;
        viewMover(root, view);
        // Ordering pass: every free colour one move deep.
        float best = worst_;
        std::int32_t bestColour = 0;
        std::array<float, 7> orderScore{};
        for (int colour = 1; colour <= 7; ++colour) {
            const std::size_t position = static_cast<std::size_t>(colour - 1);
            if (held & (1u << colour)) {
                orderScore[position] = worst_;
                continue;
            }
            tryColour(root, view, root, result, scratch, best, bound, bestColour, colour, 0);
            orderScore[position] = scratch[static_cast<std::size_t>(root)];
            if (aborted()) {
                return bestColour;
            }
        }
        // A selection pass over positions: the scores stay where they were computed, only the
        // colours move, so after a first swap the order is not strictly by score.
        std::array<int, 7> order{1, 2, 3, 4, 5, 6, 7};
        for (std::size_t i = 0; i < 6; ++i) {
            std::size_t chosen = i;
            for (std::size_t j = i + 1; j < 7; ++j) {
                if (orderScore[chosen] < orderScore[j]) {
                    chosen = j;
                }
            }
            if (chosen != i) {
                std::swap(order[i], order[chosen]);
            }
        }
        // Deep pass: a deeper result replaces the one-move choice only when strictly better.
        for (const int colour : order) {
            if (held & (1u << colour)) {
                continue;
            }
            tryColour(root, view, root, result, scratch, best, bound, bestColour, colour,
                      depth - 1);
            if (aborted()) {
                break;
            }
        }
        return bestColour;
    }

    const SearchPosition& position_;
    const std::atomic<bool>& abort_;
    hex_bit_sets::Layout<Words> layout_;
    Set grid_{};
    Set owned_{};
    std::vector<Set> colours_;
    std::array<Set, maxSlots> territories_{};
    // The cells next to each territory, and its size.
    std::array<Set, maxSlots> arounds_{};
    std::array<std::int32_t, maxSlots> territoryCounts_{};
    std::array<int, maxSlots> next_{};
    std::array<std::int32_t, maxSlots> scores_{};
    std::array<bool, maxSlots> active_{};
    std::int32_t __attribute__((vector_size(16))) activeBits_{};
    std::array<int, maxSlots> startColour_{};
    int current_ = 0;
    float worst_ = 0.0f;
    std::int64_t simulated_ = 0;
    // The unowned areas found at the start, by bit (-1 for none), with their cells and sizes.
    std::vector<int> areaOf_;
    std::vector<Set> areas_;
    std::vector<std::int32_t> areaSizes_;
    std::vector<std::size_t> areaColours_;
    std::vector<Set> areaHalos_;
    // Which areas the current move has counted already.
    std::vector<std::uint32_t> areaStamps_;
    std::uint32_t stamp_ = 0;
    // See `isTidy`.
    bool tidy_ = false;
};

template <int Words>
SearchResult runFastSearch(const SearchPosition& position, const std::atomic<bool>& abort) {
    FastSearch<Words> search(position, abort);
    SearchResult result;
    result.colour = search.run();
    result.simulatedMoves = search.simulatedMoves();
    return result;
}

}  // namespace

SearchResult fastSearch(const SearchPosition& position, const std::atomic<bool>& abort) {
    switch (position.words) {
        case 2:
            return runFastSearch<2>(position, abort);
        case 4:
            return runFastSearch<4>(position, abort);
        case 8:
            return runFastSearch<8>(position, abort);
        case 16:
            return runFastSearch<16>(position, abort);
        default:
            return runFastSearch<SearchPosition::maxWords>(position, abort);
    }
}
