#include "game/expert_search.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <limits>
#include <mutex>
#include <numeric>
#include <unordered_map>
#include <vector>

#include "game/fast_search.h"
#include "game/hex_bit_sets.h"
#include "game/hex_grid.h"
#include "game/search_position.h"

namespace {

constexpr int slotCount = SearchPosition::maxSlots;
constexpr int colourCount = SearchPosition::paletteColours;
constexpr int blackColour = hex_grid::black;
// Against the levels Expert always looks this many of its own moves ahead, unless stopped: three
// rounds of their answers, and its move after them. The answers of the first two rounds are the
// levels' own; in the third the Easy level's search stands in for them, at a small part of the
// cost (exact answers there cost as much again as the whole search; the README has the figures).
constexpr int foreseenMoves = 4;
constexpr int exactRounds = 2;
constexpr std::int32_t standInLevel = 1;
constexpr std::size_t linesAnswered = 2;
// A finished game outweighs any margin of cells.
constexpr float decided = 10000.0f;
constexpr float infinity = std::numeric_limits<float>::infinity();

using Clock = std::chrono::steady_clock;

// What a move changes: the whole state fits in a few hundred bytes, so a move is made on a copy
// and taking it back costs nothing.
template <int Words>
struct ExpertState {
    using Set = std::array<std::uint64_t, Words>;
    std::array<Set, colourCount> colours;
    Set owned;
    std::array<std::int32_t, slotCount> scores;
    std::array<int, slotCount> startColour;

    bool operator==(const ExpertState& other) const {
        return colours == other.colours && owned == other.owned && scores == other.scores &&
               startColour == other.startColour;
    }
};

std::uint64_t mixIn(std::uint64_t hash, std::uint64_t value) {
    hash ^= value + 0x9e3779b97f4a7c15ull + (hash << 6) + (hash >> 2);
    return hash;
}

// The levels' answers Expert has worked out, kept from one of its moves to the next: after a
// round played as foreseen, the lines it looked at last time hold the positions it meets now.
// Shared by every Expert (one search at a time per game, but a match may play several games
// at once); a level's answer depends on the position alone, so any game may use any entry.
template <int Words>
class AnswerMemory {
  public:
    // What a level is asked: its choice on `state` for `mover` at `level`, on the board `board`
    // (a key of the board's cells and players).
    struct Question {
        std::uint64_t board;
        ExpertState<Words> state;
        int mover;
        int level;

        bool operator==(const Question& other) const {
            return board == other.board && mover == other.mover && level == other.level &&
                   state == other.state;
        }
    };

    // The colour remembered for `question`, or -1.
    int find(const Question& question) {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = entries_.find(question);
        return found == entries_.end() ? -1 : found->second;
    }

    void store(const Question& question, int colour) {
        std::lock_guard<std::mutex> lock(mutex_);
        // A few games' worth; what is older is hardly met again.
        if (entries_.size() * sizeof(Question) > memoryLimit) {
            entries_.clear();
        }
        entries_[question] = colour;
    }

  private:
    struct Hash {
        std::size_t operator()(const Question& question) const {
            std::uint64_t hash = mixIn(
                question.board, static_cast<std::uint64_t>(question.mover * 64 + question.level));
            for (const auto& set : question.state.colours) {
                for (const std::uint64_t word : set) {
                    hash = mixIn(hash, word);
                }
            }
            for (const std::uint64_t word : question.state.owned) {
                hash = mixIn(hash, word);
            }
            for (std::size_t slot = 0; slot < slotCount; ++slot) {
                hash =
                    mixIn(hash, static_cast<std::uint64_t>(question.state.scores[slot]) << 8 |
                                    static_cast<std::uint64_t>(question.state.startColour[slot]));
            }
            return static_cast<std::size_t>(hash);
        }
    };
    static constexpr std::size_t memoryLimit = std::size_t{8} << 20;
    std::mutex mutex_;
    std::unordered_map<Question, int, Hash> entries_;
};

template <int Words>
AnswerMemory<Words>& answerMemory() {
    static AnswerMemory<Words> memory;
    return memory;
}

template <int Words>
class Expert {
  public:
    using Set = std::array<std::uint64_t, Words>;
    using Values = std::array<float, slotCount>;
    using State = ExpertState<Words>;

    Expert(const SearchPosition& position, const std::atomic<bool>* abort)
        : position_(position), abort_(abort), answerPosition_(position) {
        load(position.evenColumns, layout_.even);
        layout_.strideWords = position.strideWords;
        layout_.strideBits = static_cast<unsigned>(position.strideBits);
        load(position.gridCells, grid_);
        load(position.owned, state_.owned);
        for (std::size_t k = 0; k < colourCount; ++k) {
            load(position.colours, state_.colours[k], k * Words);
        }
        state_.scores = position.scores;
        state_.startColour = position.startColour;
        for (int slot = 0; slot < slotCount; ++slot) {
            const std::size_t s = static_cast<std::size_t>(slot);
            active_[s] = position.active[s];
            startBit_[s] = position.startBit[s];
            int next = slot;
            for (int step = 0; step < position.numPlayers; ++step) {
                next = (next + 1) % position.numPlayers;
                if (position.active[static_cast<std::size_t>(next)]) {
                    break;
                }
            }
            next_[s] = next;
        }
        // Each cell's neighbours by bit, for the walks that must follow the board cell by cell.
        const int stride = position.stride;
        links_.assign(static_cast<std::size_t>(Words) * 64, {-1, -1, -1, -1, -1, -1});
        for (int bit = 0; bit < Words * 64; ++bit) {
            if (!has(grid_, bit)) {
                continue;
            }
            const int row = bit / stride;
            const int col = bit % stride;
            const auto& steps =
                has(layout_.even, bit) ? hex_grid::evenColumnSteps : hex_grid::oddColumnSteps;
            for (std::size_t d = 0; d < 6; ++d) {
                const int r = row + steps[d][0];
                const int c = col + steps[d][1];
                const int other = r * stride + c;
                if (r >= 0 && c >= 0 && c < stride && other < Words * 64 && has(grid_, other)) {
                    links_[static_cast<std::size_t>(bit)][d] = other;
                }
            }
        }
        marks_.assign(static_cast<std::size_t>(Words) * 64, 0);
        // What a level's answer depends on besides the state: the board's cells and players.
        boardKey_ = mixIn(static_cast<std::uint64_t>(position.stride),
                          static_cast<std::uint64_t>(position.activePlayers * 64 + Words));
        boardKey_ =
            mixIn(boardKey_, static_cast<std::uint64_t>(static_cast<std::int64_t>(position.worst)));
        for (int i = 0; i < Words; ++i) {
            boardKey_ = mixIn(mixIn(boardKey_, grid_[i]), layout_.even[i]);
        }
        for (std::size_t slot = 0; slot < slotCount; ++slot) {
            boardKey_ = mixIn(boardKey_, static_cast<std::uint64_t>(startBit_[slot] + 1) << 1 |
                                             (active_[slot] ? 1u : 0u));
        }
    }

    State& state() { return state_; }

    // Expert's `colour` on `st` and the levels' answers to it, as its search foresees them.
    void playRound(State& st, int colour) {
        started_ = Clock::now();
        hardLimit_ = exactLimit_ = infinity;
        root_ = position_.currentPlayer;
        play(st, root_, colour);
        answerRound(st, 1);
    }

    // Writes `st` into `position`'s cells, scores and start colours.
    static void writeBack(const State& st, SearchPosition& position) {
        const std::size_t n = static_cast<std::size_t>(Words);
        for (std::size_t k = 0; k < colourCount; ++k) {
            for (std::size_t i = 0; i < n; ++i) {
                position.colours[k * n + i] = st.colours[k][i];
            }
        }
        for (std::size_t i = 0; i < n; ++i) {
            position.owned[i] = st.owned[i];
        }
        position.scores = st.scores;
        position.startColour = st.startColour;
    }

    // The game's move for `mover`: the territory takes `colour` and the areas of that colour it
    // touches, then captures what it walls in, until nothing more is taken.
    void play(State& st, int mover, int colour) {
        ++moves_;
        const std::size_t slot = static_cast<std::size_t>(mover);
        const int start = startBit_[slot];
        if (start < 0) {
            return;
        }
        const int old = colourOf(st, start);
        Set territory{};
        if (old != colour) {
            Set repainted{};
            set(repainted, start);
            grow(repainted, st.colours[static_cast<std::size_t>(old)]);
            Set unownedOld;
            andNot(repainted, st.owned, unownedOld);
            if (any(unownedOld)) {
                // Unowned cells of the old colour touch the territory (hardly ever seen): the
                // flood's order decides which of them end up owned, so follow it cell by cell.
                st.scores[slot] += recolourByCells(st, start, colour);
                territory = Set{};
                set(territory, start);
                Set mine;
                both(st.owned, st.colours[static_cast<std::size_t>(colour)], mine);
                grow(territory, mine);
            } else {
                Set& from = st.colours[static_cast<std::size_t>(old)];
                Set& to = st.colours[static_cast<std::size_t>(colour)];
                Set unownedNew;
                Set around;
                neighbours(repainted, around);
                for (int i = 0; i < Words; ++i) {
                    from[i] &= ~repainted[i];
                    to[i] |= repainted[i];
                    unownedNew[i] = to[i] & ~st.owned[i] & grid_[i];
                    around[i] &= unownedNew[i];
                }
                grow(around, unownedNew);
                for (int i = 0; i < Words; ++i) {
                    st.owned[i] |= around[i];
                    territory[i] = repainted[i] | around[i];
                }
                st.scores[slot] += count(around);
                // Owned cells of the new colour beyond the flood belong to the territory too.
                Set mine;
                both(st.owned, to, mine);
                for (int i = 0; i < Words; ++i) {
                    mine[i] &= grid_[i];
                }
                if (!subset(mine, territory)) {
                    grow(territory, mine);
                }
            }
            for (std::size_t other = 0; other < slotCount; ++other) {
                if (startBit_[other] >= 0 &&
                    has(st.colours[static_cast<std::size_t>(colour)], startBit_[other])) {
                    st.startColour[other] = colour;
                }
            }
        } else {
            set(territory, start);
            Set mine;
            both(st.owned, st.colours[static_cast<std::size_t>(colour)], mine);
            grow(territory, mine);
        }
        const State before = st;
        if (!captureBySets(st, slot, colour, territory)) {
            st = before;
            std::int32_t captured;
            do {
                captured = captureEnclosedByCells(st, start, colour);
                st.scores[slot] += captured;
            } while (captured != 0);
        }
    }

    std::int64_t moves() const { return moves_; }

    std::int32_t search(const ExpertLimits& limits) {
        started_ = Clock::now();
        hardLimit_ = limits.hardMs;
        exactLimit_ = limits.exactMs;
        root_ = position_.currentPlayer;
        if (othersAreLevels()) {
            return searchForeseen(limits);
        }
        const std::size_t rootSlot = static_cast<std::size_t>(root_);
        const unsigned held = heldColours(state_);
        std::vector<int> rootMoves;
        for (int colour = 1; colour <= 7; ++colour) {
            if (!(held & (1u << colour))) {
                rootMoves.push_back(colour);
            }
        }
        if (rootMoves.empty() || startBit_[rootSlot] < 0) {
            return 0;
        }
        const int maxDepth = std::max(1, std::min(limits.maxDepth, 60));
        children_.assign(static_cast<std::size_t>(maxDepth) + 1, {});
        killers_.assign(static_cast<std::size_t>(maxDepth) + 1, 0);
        std::vector<State> rootStates(rootMoves.size(), state_);
        std::vector<std::int32_t> gains(rootMoves.size());
        for (std::size_t i = 0; i < rootMoves.size(); ++i) {
            play(rootStates[i], root_, rootMoves[i]);
            gains[i] = rootStates[i].scores[rootSlot];
        }
        // First guess: the biggest gain first.
        std::vector<std::size_t> order(rootMoves.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            order[i] = i;
        }
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return gains[a] > gains[b]; });
        const std::size_t chosen =
            deepen(order, limits, 1, [&](std::size_t i, int depth, float best) {
                return search(rootStates[i], next(root_), depth - 1, best, infinity, 1);
            });
        return rootMoves[chosen];
    }

  private:
    // ---- Against computer levels ----

    // A level's choice follows from the position alone, so when every other player is a level
    // Expert plays out their actual answers to each of its moves instead of assuming the worst.
    bool othersAreLevels() const {
        for (std::size_t slot = 0; slot < slotCount; ++slot) {
            if (active_[slot] && startBit_[slot] >= 0 && static_cast<int>(slot) != root_ &&
                position_.levels[slot] < 0) {
                return false;
            }
        }
        return true;
    }

    // The colour the level playing `mover` picks on `st` in the `round`th round of answers after
    // the position searched (a stand-in's choice beyond the exact rounds); 0 when it finds none.
    int answerOf(const State& st, int mover, int round) {
        int level = position_.levels[static_cast<std::size_t>(mover)];
        // Past its own limit the stand-in answers in every round but the first.
        if (round > exactRounds || (round > 1 && elapsedMs() >= exactLimit_)) {
            level = std::min(level, standInLevel);
        }
        AnswerMemory<Words>& memory = answerMemory<Words>();
        const typename AnswerMemory<Words>::Question question{boardKey_, st, mover, level};
        if (const int known = memory.find(question); known >= 0) {
            return known;
        }
        writeBack(st, answerPosition_);
        answerPosition_.currentPlayer = mover;
        answerPosition_.difficulty = level;
        static const std::atomic<bool> never{false};
        const std::atomic<bool>& stop = abort_ != nullptr ? *abort_ : never;
        const SearchResult answer = fastSearch(answerPosition_, stop);
        moves_ += answer.simulatedMoves;
        // A search cut short may have chosen otherwise.
        if (!stop.load()) {
            memory.store(question, answer.colour);
        }
        return answer.colour;
    }

    // Plays the levels' answers on `st`, each in turn, up to Expert's next turn; false (and the
    // search stopped) when time ran out first.
    bool answerRound(State& st, int round) {
        for (int mover = next(root_); mover != root_ && !gameOver(st); mover = next(mover)) {
            if (startBit_[static_cast<std::size_t>(mover)] < 0) {
                continue;
            }
            if (timeUp()) {
                stopped_ = true;
                return false;
            }
            const int answer = answerOf(st, mover, round);
            if (answer >= 1 && answer <= 7 && !(heldColours(st) & (1u << answer))) {
                play(st, mover, answer);
            }
        }
        return true;
    }

    // A line of the foreseen search: the position after Expert's colour and the levels' answers
    // up to Expert's next turn (or the end of the game).
    struct Line {
        State state;
        int colour = 0;
        bool over = false;
        int firstChild = -1;
        int childCount = 0;
        int round = 0;  // of the answers it holds
    };

    // Makes the lines that follow line `index`; false when time ran out first.
    bool expandLine(int index) {
        std::vector<Line> made;
        const int round = lines_[static_cast<std::size_t>(index)].round + 1;
        forEachMove(lines_[static_cast<std::size_t>(index)].state,
                    [&](int colour, const State& after) {
                        made.push_back(Line{after, colour, false, -1, 0, round});
                        return true;
                    });
        // Beyond the root only the two moves that look best at once are answered: the levels'
        // searches are most of the cost, and the third move seldom wins.
        if (index != 0 && made.size() > linesAnswered) {
            std::vector<float> atOnce(made.size());
            for (std::size_t i = 0; i < made.size(); ++i) {
                atOnce[i] = leadValue(made[i].state);
            }
            std::vector<std::size_t> order(made.size());
            std::iota(order.begin(), order.end(), std::size_t{0});
            std::stable_sort(order.begin(), order.end(),
                             [&](std::size_t a, std::size_t b) { return atOnce[a] > atOnce[b]; });
            std::vector<Line> best;
            for (std::size_t k = 0; k < linesAnswered; ++k) {
                best.push_back(made[order[k]]);
            }
            made = std::move(best);
        }
        for (Line& line : made) {
            if (!answerRound(line.state, line.round)) {
                return false;
            }
            line.over = gameOver(line.state);
        }
        Line& parent = lines_[static_cast<std::size_t>(index)];
        parent.firstChild = static_cast<int>(lines_.size());
        parent.childCount = static_cast<int>(made.size());
        lines_.insert(lines_.end(), made.begin(), made.end());
        return true;
    }

    // Expert's cells and reach less those of the best of the others.
    float leadValue(const State& st) const {
        const Values values = project(st);
        const std::size_t root = static_cast<std::size_t>(root_);
        float others = -infinity;
        for (std::size_t slot = 0; slot < slotCount; ++slot) {
            if (active_[slot] && slot != root) {
                others = std::max(others, values[slot]);
            }
        }
        return others == -infinity ? values[root] : values[root] - others;
    }

    // Calls `use(colour, after)` for every colour Expert may pick on `st`, with the position
    // after it; stops early when `use` returns false.
    template <typename Use>
    void forEachMove(const State& st, Use use) {
        const unsigned held = heldColours(st);
        for (int colour = 1; colour <= 7; ++colour) {
            if (held & (1u << colour)) {
                continue;
            }
            State after = st;
            play(after, root_, colour);
            if (!use(colour, after)) {
                return;
            }
        }
    }

    // The best of Expert's moves on `st` judged at once, before anyone answers: the last move of
    // a line costs no level's search.
    float bestMoveValue(const State& st) {
        float best = -infinity;
        forEachMove(st, [&](int, const State& after) {
            best = std::max(best, gameOver(after) ? finalValue(after) : leadValue(after));
            return true;
        });
        return best == -infinity ? leadValue(st) : best;
    }

    int greediestColour(const State& st) {
        int best = 0;
        std::int32_t bestScore = -1;
        forEachMove(st, [&](int colour, const State& after) {
            if (after.scores[static_cast<std::size_t>(root_)] > bestScore) {
                bestScore = after.scores[static_cast<std::size_t>(root_)];
                best = colour;
            }
            return true;
        });
        return best;
    }

    // The best value Expert can reach from line `index` with `depth` more moves of its own.
    float valueOfLine(int index, int depth) {
        {
            const Line& line = lines_[static_cast<std::size_t>(index)];
            if (line.over) {
                return finalValue(line.state);
            }
            if (depth <= 1) {
                horizonSeen_ = true;
                return depth <= 0 ? leadValue(line.state) : bestMoveValue(line.state);
            }
        }
        if (lines_[static_cast<std::size_t>(index)].firstChild < 0 && !expandLine(index)) {
            return 0.0f;
        }
        const Line& line = lines_[static_cast<std::size_t>(index)];
        if (line.childCount == 0) {
            horizonSeen_ = true;
            return leadValue(line.state);
        }
        float best = -infinity;
        const int first = line.firstChild;
        const int count = line.childCount;
        for (int k = 0; k < count; ++k) {
            const float value = valueOfLine(first + k, depth - 1);
            if (stopped_) {
                return 0.0f;
            }
            best = std::max(best, value);
        }
        return best;
    }

    // Iterative deepening over Expert's own moves; lines and answers found at one depth serve
    // the next.
    std::int32_t searchForeseen(const ExpertLimits& limits) {
        lines_.clear();
        lines_.push_back(Line{state_, 0, gameOver(state_), -1, 0});
        if (!expandLine(0)) {
            // Stopped before the levels' first answers were known: the biggest gain, so that
            // there is still a colour to play.
            return greediestColour(state_);
        }
        if (lines_[0].childCount == 0) {
            return 0;
        }
        std::vector<std::size_t> order(static_cast<std::size_t>(lines_[0].childCount));
        for (std::size_t i = 0; i < order.size(); ++i) {
            order[i] = i;
        }
        const int first = lines_[0].firstChild;
        const std::size_t chosen =
            deepen(order, limits, foreseenMoves, [&](std::size_t i, int depth, float) {
                return valueOfLine(first + static_cast<int>(i), depth - 1);
            });
        return lines_[static_cast<std::size_t>(first) + chosen].colour;
    }

    // Iterative deepening over the root's moves (their indices, in the order to try first).
    // `valueAt(i, depth, best)` values move i searched to `depth`, given the best value found
    // so far at that depth. No new depth is started after the soft limit once `surelyTo` is
    // done, nor once the whole rest of the game was seen. The chosen move's index.
    template <typename ValueAt>
    std::size_t deepen(std::vector<std::size_t> order, const ExpertLimits& limits, int surelyTo,
                       ValueAt valueAt) {
        std::vector<float> values(order.size(), 0.0f);
        std::size_t chosen = order[0];
        const int maxDepth = std::max(1, std::min(limits.maxDepth, 60));
        for (int depth = 1; depth <= maxDepth; ++depth) {
            horizonSeen_ = false;
            float best = -infinity;
            std::size_t bestMove = order[0];
            bool firstDone = false;
            for (const std::size_t i : order) {
                const float value = valueAt(i, depth, best);
                if (stopped_) {
                    break;
                }
                values[i] = value;
                if (!firstDone || value > best) {
                    best = value;
                    bestMove = i;
                }
                firstDone = true;
            }
            // A depth cut short still counts once the previous choice has been searched to it:
            // whatever beat that choice meanwhile is better.
            if (firstDone) {
                chosen = bestMove;
            }
            if (stopped_) {
                break;
            }
            std::stable_sort(order.begin(), order.end(),
                             [&](std::size_t a, std::size_t b) { return values[a] > values[b]; });
            if (!horizonSeen_ || (depth >= surelyTo && elapsedMs() >= limits.softMs)) {
                break;
            }
        }
        return chosen;
    }

    // ---- Sets ----

    static void load(const std::vector<std::uint64_t>& from, Set& to, std::size_t offset = 0) {
        for (int i = 0; i < Words; ++i) {
            to[i] = from[offset + static_cast<std::size_t>(i)];
        }
    }
    static bool has(const Set& set, int bit) {
        return (set[static_cast<std::size_t>(bit) / 64] >> (static_cast<unsigned>(bit) % 64)) & 1u;
    }
    static void set(Set& set, int bit) {
        set[static_cast<std::size_t>(bit) / 64] |= std::uint64_t{1}
                                                   << (static_cast<unsigned>(bit) % 64);
    }
    static void clear(Set& set, int bit) {
        set[static_cast<std::size_t>(bit) / 64] &=
            ~(std::uint64_t{1} << (static_cast<unsigned>(bit) % 64));
    }
    static bool any(const Set& set) {
        std::uint64_t bits = 0;
        for (int i = 0; i < Words; ++i) {
            bits |= set[i];
        }
        return bits != 0;
    }
    static bool subset(const Set& part, const Set& whole) {
        std::uint64_t outside = 0;
        for (int i = 0; i < Words; ++i) {
            outside |= part[i] & ~whole[i];
        }
        return outside == 0;
    }
    static void both(const Set& a, const Set& b, Set& to) {
        for (int i = 0; i < Words; ++i) {
            to[i] = a[i] & b[i];
        }
    }
    static void andNot(const Set& a, const Set& b, Set& to) {
        for (int i = 0; i < Words; ++i) {
            to[i] = a[i] & ~b[i];
        }
    }
    static std::int32_t count(const Set& set) {
        std::int32_t total = 0;
        for (int i = 0; i < Words; ++i) {
            // Counted by halves, quarters and bytes: no population-count instruction is assumed.
            std::uint64_t x = set[i];
            x = x - ((x >> 1) & 0x5555555555555555ull);
            x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
            x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0full;
            total += static_cast<std::int32_t>((x * 0x0101010101010101ull) >> 56);
        }
        return total;
    }

    void neighbours(const Set& from, Set& to) const {
        hex_bit_sets::neighbours<Words>(layout_, from, to);
    }

    // Adds to `area` every cell of `allowed` on the grid connected to it.
    void grow(Set& area, const Set& allowed) const {
        Set onGrid;
        both(allowed, grid_, onGrid);
        hex_bit_sets::grow<Words>(layout_, area, onGrid);
    }

    int colourOf(const State& st, int bit) const {
        for (int k = 0; k < colourCount; ++k) {
            if (has(st.colours[static_cast<std::size_t>(k)], bit)) {
                return k;
            }
        }
        return 0;
    }

    // ---- Captures on whole sets ----

    // An unowned area that is not black is walled in when none of its cells touches another
    // player's territory; a black area when neither it nor any ordinary area beside it does,
    // and then it is taken with those areas. The walks take what is walled in next to the
    // territory, again and again. Returns false, leaving `st` half done, in the one case the
    // walk's order decides: a black area touching another territory with a walled-in pocket
    // beside it that the territory does not touch (the walk takes such pockets only until it
    // meets the contact).
    bool captureBySets(State& st, std::size_t slot, int colour, Set territory) {
        const Set& black = st.colours[blackColour];
        Set& mine = st.colours[static_cast<std::size_t>(colour)];
        Set plain;
        Set dark;
        Set foreign;
        for (int i = 0; i < Words; ++i) {
            const std::uint64_t unowned = grid_[i] & ~st.owned[i];
            plain[i] = unowned & ~black[i];
            dark[i] = unowned & black[i];
            foreign[i] = grid_[i] & st.owned[i] & ~mine[i];
        }
        Set touched;
        neighbours(foreign, touched);
        Set openPlain;
        both(touched, plain, openPlain);
        grow(openPlain, plain);
        Set nearOpen;
        neighbours(openPlain, nearOpen);
        Set openDark;
        for (int i = 0; i < Words; ++i) {
            openDark[i] = (touched[i] | nearOpen[i]) & dark[i];
        }
        grow(openDark, dark);
        Set closedPlain;
        Set closedDark;
        andNot(plain, openPlain, closedPlain);
        andNot(dark, openDark, closedDark);
        for (;;) {
            Set around;
            neighbours(territory, around);
            Set taken;
            both(around, closedPlain, taken);
            grow(taken, closedPlain);
            Set takenDark;
            both(around, closedDark, takenDark);
            if (any(takenDark)) {
                grow(takenDark, closedDark);
                Set beside;
                neighbours(takenDark, beside);
                for (int i = 0; i < Words; ++i) {
                    beside[i] &= closedPlain[i];
                }
                grow(beside, closedPlain);
                for (int i = 0; i < Words; ++i) {
                    taken[i] |= takenDark[i] | beside[i];
                }
            }
            if (!any(taken)) {
                break;
            }
            for (std::size_t k = 0; k < colourCount; ++k) {
                for (int i = 0; i < Words; ++i) {
                    st.colours[k][i] &= ~taken[i];
                }
            }
            for (int i = 0; i < Words; ++i) {
                mine[i] |= taken[i];
                st.owned[i] |= taken[i];
                territory[i] |= taken[i];
                closedPlain[i] &= ~taken[i];
                closedDark[i] &= ~taken[i];
            }
            st.scores[slot] += count(taken);
        }
        Set around;
        neighbours(territory, around);
        Set openBeside;
        both(around, openDark, openBeside);
        if (!any(openBeside) || !any(closedPlain)) {
            return true;
        }
        grow(openBeside, openDark);
        Set pockets;
        neighbours(openBeside, pockets);
        for (int i = 0; i < Words; ++i) {
            pockets[i] &= closedPlain[i];
        }
        return !any(pockets);
    }

    // ---- The walks cell by cell, as the board makes them ----

    bool marked(int bit) const { return marks_[static_cast<std::size_t>(bit)] == stamp_; }
    void mark(int bit) { marks_[static_cast<std::size_t>(bit)] = stamp_; }
    static bool isBlack(const State& st, int bit) { return has(st.colours[blackColour], bit); }
    void paint(State& st, int bit, int from, int to) const {
        clear(st.colours[static_cast<std::size_t>(from)], bit);
        set(st.colours[static_cast<std::size_t>(to)], bit);
    }
    const std::array<int, 6>& linksOf(int bit) const {
        return links_[static_cast<std::size_t>(bit)];
    }

    struct Frame {
        int bit;
        int old;
        int next;
        std::int32_t count;
        bool flag;
    };

    std::int32_t claimByCells(State& st, int bit) {
        if (has(st.owned, bit)) {
            return 0;
        }
        const Set& colour = st.colours[static_cast<std::size_t>(colourOf(st, bit))];
        std::vector<int> stack{bit};
        set(st.owned, bit);
        std::int32_t total = 0;
        while (!stack.empty()) {
            const int cell = stack.back();
            stack.pop_back();
            ++total;
            for (const int n : linksOf(cell)) {
                if (n >= 0 && !has(st.owned, n) && has(colour, n)) {
                    set(st.owned, n);
                    stack.push_back(n);
                }
            }
        }
        return total;
    }

    std::int32_t recolourByCells(State& st, int start, int colour) {
        std::vector<Frame> stack;
        auto enter = [&](int bit) {
            const int old = colourOf(st, bit);
            stack.push_back(Frame{bit, old, 0, 0, false});
            paint(st, bit, old, colour);
        };
        enter(start);
        std::int32_t result = 0;
        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (frame.next < 6) {
                const int n = linksOf(frame.bit)[static_cast<std::size_t>(frame.next++)];
                if (n < 0) {
                    continue;
                }
                if (has(st.colours[static_cast<std::size_t>(frame.old)], n)) {
                    enter(n);
                } else if (has(st.colours[static_cast<std::size_t>(colour)], n) &&
                           !has(st.owned, n)) {
                    frame.count += claimByCells(st, n);
                }
                continue;
            }
            const std::int32_t done = frame.count;
            stack.pop_back();
            (stack.empty() ? result : stack.back().count) += done;
        }
        return result;
    }

    std::int32_t captureEnclosedByCells(State& st, int start, int colour) {
        // Every walk starts from clean stamps.
        ++stamp_;
        const Set& mine = st.colours[static_cast<std::size_t>(colour)];
        mark(start);
        std::int32_t total = 0;
        std::vector<Frame> walk;
        walk.push_back(Frame{start, 0, 0, 0, false});
        while (!walk.empty()) {
            Frame& frame = walk.back();
            if (frame.next >= 6) {
                walk.pop_back();
                continue;
            }
            const int n = linksOf(frame.bit)[static_cast<std::size_t>(frame.next++)];
            if (n < 0 || marked(n)) {
                continue;
            }
            if (has(st.owned, n)) {
                if (has(mine, n)) {
                    mark(n);
                    walk.push_back(Frame{n, 0, 0, 0, false});
                }
                continue;
            }
            if (isEnclosedByCells(st, n, colour, total)) {
                total += absorbByCells(st, n, colour);
            }
        }
        return total;
    }

    void markRegionByCells(const State& st, int bit) {
        std::vector<int> stack{bit};
        mark(bit);
        const bool dark = isBlack(st, bit);
        while (!stack.empty()) {
            const int cell = stack.back();
            stack.pop_back();
            for (const int n : linksOf(cell)) {
                if (n >= 0 && !has(st.owned, n) && !marked(n) && isBlack(st, n) == dark) {
                    mark(n);
                    stack.push_back(n);
                }
            }
        }
    }

    bool isEnclosedByCells(State& st, int bit, int colour, std::int32_t& counter) {
        const Set& mine = st.colours[static_cast<std::size_t>(colour)];
        std::vector<Frame> stack;
        auto enter = [&](int cell) -> bool {
            mark(cell);
            bool visited = false;
            for (const int n : linksOf(cell)) {
                if (n < 0) {
                    continue;
                }
                if (has(st.owned, n) && !has(mine, n)) {
                    markRegionByCells(st, cell);
                    return false;
                }
                if (!has(st.owned, n) && marked(n) && !isBlack(st, n)) {
                    visited = true;
                }
            }
            stack.push_back(Frame{cell, 0, 0, 0, visited});
            return true;
        };
        bool answer = false;
        auto deliver = [&](bool enclosed, int child) -> bool {
            while (!stack.empty()) {
                const int parent = stack.back().bit;
                if (enclosed) {
                    if (isBlack(st, parent) && !isBlack(st, child)) {
                        counter += absorbByCells(st, child, colour);
                    }
                    return false;
                }
                markRegionByCells(st, parent);
                child = parent;
                stack.pop_back();
            }
            answer = enclosed;
            return true;
        };
        if (!enter(bit)) {
            return false;
        }
        while (!stack.empty()) {
            Frame& frame = stack.back();
            const bool dark = isBlack(st, frame.bit);
            if (frame.next < 6) {
                const int n = linksOf(frame.bit)[static_cast<std::size_t>(frame.next++)];
                if (n < 0 || has(st.owned, n) || marked(n) || (!dark && isBlack(st, n))) {
                    continue;
                }
                if (!enter(n) && deliver(false, n)) {
                    return answer;
                }
                continue;
            }
            const bool enclosed = !(dark && frame.flag);
            const int finished = frame.bit;
            stack.pop_back();
            if (deliver(enclosed, finished)) {
                return answer;
            }
        }
        return answer;
    }

    std::int32_t absorbByCells(State& st, int bit, int colour) {
        std::vector<Frame> stack;
        auto enter = [&](int cell) {
            const int old = colourOf(st, cell);
            stack.push_back(Frame{cell, old, 0, 1, false});
            paint(st, cell, old, colour);
            set(st.owned, cell);
        };
        enter(bit);
        std::int32_t result = 0;
        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (frame.next < 6) {
                const int n = linksOf(frame.bit)[static_cast<std::size_t>(frame.next++)];
                // A walled-in ordinary area stops at its black walls; a black area takes all.
                if (n >= 0 && !has(st.owned, n) && (!isBlack(st, n) || frame.old == blackColour)) {
                    enter(n);
                }
                continue;
            }
            const std::int32_t done = frame.count;
            stack.pop_back();
            (stack.empty() ? result : stack.back().count) += done;
        }
        return result;
    }

    // ---- The search ----

    int next(int slot) const { return next_[static_cast<std::size_t>(slot)]; }

    unsigned heldColours(const State& st) const {
        unsigned held = 0;
        for (std::size_t slot = 0; slot < slotCount; ++slot) {
            const int colour = st.startColour[slot];
            if (active_[slot] && startBit_[slot] >= 0 && colour >= 1 && colour <= 7) {
                held |= 1u << colour;
            }
        }
        return held;
    }

    bool gameOver(const State& st) const {
        std::uint64_t open = 0;
        for (int i = 0; i < Words; ++i) {
            open |= grid_[i] & ~st.owned[i] & ~st.colours[blackColour][i];
        }
        return open == 0;
    }

    double elapsedMs() const {
        return std::chrono::duration<double, std::milli>(Clock::now() - started_).count();
    }

    // With two players, the root player's margin over the other. With more, its own value: in
    // a game of four, a search that assumes everyone plays against it and counts its lead over
    // the best of them spends its moves holding back whoever leads, and ends with fewer cells
    // than the others; counting its own cells wins more (see the README's table).
    float margin(const Values& values) const {
        const std::size_t root = static_cast<std::size_t>(root_);
        float others = -infinity;
        int opponents = 0;
        for (std::size_t slot = 0; slot < slotCount; ++slot) {
            if (active_[slot] && slot != root) {
                others = std::max(others, values[slot]);
                ++opponents;
            }
        }
        return opponents == 1 ? values[root] - others : values[root];
    }

    // A finished game counts by who won it, whatever the number of players.
    float finalValue(const State& st) const {
        const std::size_t root = static_cast<std::size_t>(root_);
        float others = -infinity;
        for (std::size_t slot = 0; slot < slotCount; ++slot) {
            if (active_[slot] && slot != root) {
                others = std::max(others, static_cast<float>(st.scores[slot]));
            }
        }
        const float lead =
            others == -infinity ? 0.0f : static_cast<float>(st.scores[root]) - others;
        return lead > 0 ? decided + lead : lead < 0 ? -decided + lead : 0.0f;
    }

    // Each player's cells plus the open cells it would reach before anyone else, growing every
    // territory one cell a step at once (cells reached together go to nobody).
    float evaluate(const State& st) const { return margin(project(st)); }

    Values project(const State& st) const {
        std::array<Set, slotCount> fronts{};
        Values values{};
        Set taken;
        for (int i = 0; i < Words; ++i) {
            taken[i] = ~grid_[i] | st.owned[i] | st.colours[blackColour][i];
        }
        for (std::size_t slot = 0; slot < slotCount; ++slot) {
            values[slot] = static_cast<float>(st.scores[slot]);
            const int start = startBit_[slot];
            if (!active_[slot] || start < 0) {
                continue;
            }
            const int colour = st.startColour[slot];
            if (colour >= 1 && colour <= 7) {
                for (int i = 0; i < Words; ++i) {
                    fronts[slot][i] = st.owned[i] & st.colours[static_cast<std::size_t>(colour)][i];
                }
            } else {
                set(fronts[slot], start);
            }
        }
        for (;;) {
            std::array<Set, slotCount> found;
            Set once{};
            Set twice{};
            for (std::size_t slot = 0; slot < slotCount; ++slot) {
                if (!any(fronts[slot])) {
                    found[slot] = Set{};
                    continue;
                }
                neighbours(fronts[slot], found[slot]);
                for (int i = 0; i < Words; ++i) {
                    found[slot][i] &= ~taken[i];
                    twice[i] |= once[i] & found[slot][i];
                    once[i] |= found[slot][i];
                }
            }
            if (!any(once)) {
                break;
            }
            for (std::size_t slot = 0; slot < slotCount; ++slot) {
                for (int i = 0; i < Words; ++i) {
                    fronts[slot][i] = found[slot][i] & ~twice[i];
                }
                values[slot] += static_cast<float>(count(fronts[slot]));
            }
            for (int i = 0; i < Words; ++i) {
                taken[i] |= once[i];
            }
        }
        return values;
    }

    bool timeUp() {
        if (abort_ != nullptr && abort_->load()) {
            return true;
        }
        return elapsedMs() >= hardLimit_;
    }

    struct Moves {
        std::array<int, 7> colours{};
        std::array<int, 7> order{};
        std::array<std::int32_t, 7> gains{};
    };

    // Makes every free colour's move into the ply's children; `order` lists them with the
    // colour that was best at this ply last time first, then by the cells they gain.
    int expand(const State& st, int mover, int ply, Moves& moves) {
        const std::size_t slot = static_cast<std::size_t>(mover);
        const unsigned held = heldColours(st);
        auto& children = children_[static_cast<std::size_t>(ply)];
        int count = 0;
        for (int colour = 1; colour <= 7; ++colour) {
            if (held & (1u << colour)) {
                continue;
            }
            State& child = children[static_cast<std::size_t>(count)];
            child = st;
            play(child, mover, colour);
            moves.colours[static_cast<std::size_t>(count)] = colour;
            moves.gains[static_cast<std::size_t>(count)] = child.scores[slot];
            moves.order[static_cast<std::size_t>(count)] = count;
            ++count;
        }
        const int killer = killers_[static_cast<std::size_t>(ply)];
        std::stable_sort(moves.order.begin(), moves.order.begin() + count, [&](int a, int b) {
            const bool aKiller = moves.colours[static_cast<std::size_t>(a)] == killer;
            const bool bKiller = moves.colours[static_cast<std::size_t>(b)] == killer;
            if (aKiller != bKiller) {
                return aKiller;
            }
            return moves.gains[static_cast<std::size_t>(a)] >
                   moves.gains[static_cast<std::size_t>(b)];
        });
        return count;
    }

    float search(const State& st, int mover, int depth, float alpha, float beta, int ply) {
        if (timeUp()) {
            stopped_ = true;
            return 0.0f;
        }
        if (gameOver(st)) {
            return finalValue(st);
        }
        if (depth <= 0) {
            horizonSeen_ = true;
            return evaluate(st);
        }
        const std::size_t slot = static_cast<std::size_t>(mover);
        if (startBit_[slot] < 0) {
            return search(st, next(mover), depth - 1, alpha, beta, ply + 1);
        }
        auto& children = children_[static_cast<std::size_t>(ply)];
        Moves moves;
        const int count = expand(st, mover, ply, moves);
        if (count == 0) {
            return search(st, next(mover), depth - 1, alpha, beta, ply + 1);
        }
        const auto& colours = moves.colours;
        const auto& order = moves.order;
        const bool maximising = mover == root_;
        float best = maximising ? -infinity : infinity;
        int bestColour = 0;
        for (int k = 0; k < count; ++k) {
            const std::size_t i = static_cast<std::size_t>(order[static_cast<std::size_t>(k)]);
            // The children of this ply are overwritten deeper down only at deeper plies.
            const float value = search(children[i], next(mover), depth - 1, alpha, beta, ply + 1);
            if (stopped_) {
                return 0.0f;
            }
            if (maximising ? value > best : value < best) {
                best = value;
                bestColour = colours[i];
            }
            if (maximising) {
                alpha = std::max(alpha, value);
            } else {
                beta = std::min(beta, value);
            }
            if (alpha >= beta) {
                break;
            }
        }
        killers_[static_cast<std::size_t>(ply)] = bestColour;
        return best;
    }

    const SearchPosition& position_;
    const std::atomic<bool>* abort_;
    hex_bit_sets::Layout<Words> layout_;
    Set grid_{};
    State state_{};
    std::array<bool, slotCount> active_{};
    std::array<int, slotCount> startBit_{};
    std::array<int, slotCount> next_{};
    std::vector<std::array<int, 6>> links_;
    std::vector<std::uint32_t> marks_;
    std::uint32_t stamp_ = 0;
    std::int64_t moves_ = 0;
    std::vector<std::array<State, 7>> children_;
    std::vector<int> killers_;
    SearchPosition answerPosition_;
    std::uint64_t boardKey_ = 0;
    std::vector<Line> lines_;
    int root_ = 0;
    Clock::time_point started_{};
    double hardLimit_ = 0.0;
    double exactLimit_ = 0.0;
    bool stopped_ = false;
    bool horizonSeen_ = false;
};

template <int Words>
struct RunSearch {
    static SearchResult on(const SearchPosition& position, const std::atomic<bool>& abort,
                           const ExpertLimits& limits) {
        Expert<Words> expert(position, &abort);
        SearchResult result;
        result.colour = expert.search(limits);
        result.simulatedMoves = expert.moves();
        return result;
    }
};

// Plays on the copy with Expert's rules and writes the result back into it: `colour` alone for
// the player to move (who then passes the turn on), or with the levels' answers after it.
template <int Words>
struct PlayOnCopy {
    static void on(SearchPosition& position, std::int32_t colour, bool withAnswers) {
        Expert<Words> expert(position, nullptr);
        typename Expert<Words>::State state = expert.state();
        if (withAnswers) {
            expert.playRound(state, colour);
        } else {
            expert.play(state, position.currentPlayer, colour);
        }
        Expert<Words>::writeBack(state, position);
        if (!withAnswers) {
            position.currentPlayer = (position.currentPlayer + 1) % position.numPlayers;
        }
    }
};

// Runs `Run<Words>::on(arguments...)` with the word count of the position's sets.
template <template <int> class Run, typename... Arguments>
auto withWords(int words, Arguments&&... arguments) {
    switch (words) {
        case 2:
            return Run<2>::on(arguments...);
        case 4:
            return Run<4>::on(arguments...);
        case 8:
            return Run<8>::on(arguments...);
        case 16:
            return Run<16>::on(arguments...);
        default:
            return Run<SearchPosition::maxWords>::on(arguments...);
    }
}

}  // namespace

bool expertCanSearch(const SearchPosition& position) {
    if (!position.usable() || position.colourValues.size() != colourCount) {
        return false;
    }
    for (std::size_t slot = 0; slot < static_cast<std::size_t>(slotCount); ++slot) {
        if (position.startBit[slot] >= 0 && position.startOffGrid[slot]) {
            return false;
        }
    }
    return true;
}

SearchResult thinkExpert(const SearchPosition& position, const std::atomic<bool>& abort,
                         const ExpertLimits& limits) {
    if (!expertCanSearch(position)) {
        return SearchResult{};
    }
    return withWords<RunSearch>(position.words, position, abort, limits);
}

bool playExpertMove(SearchPosition& position, std::int32_t colour) {
    if (!expertCanSearch(position)) {
        return false;
    }
    withWords<PlayOnCopy>(position.words, position, colour, false);
    return true;
}

bool playForeseenRound(SearchPosition& position, std::int32_t colour) {
    if (!expertCanSearch(position)) {
        return false;
    }
    withWords<PlayOnCopy>(position.words, position, colour, true);
    return true;
}
