// The territory walks over the hex grid. They are depth-first walks written with explicit
// stacks: each frame remembers the tile, the next neighbour to look at and what the walk has
// gathered so far, so the order of visits, and every result, is that of the plain recursion,
// while the depth can reach every cell of the largest board.
#include <vector>

#include "game/board.h"
#include "game/hex_grid.h"
#include "game/move_effects.h"
#include "game/tile.h"

namespace {

using hex_grid::black;

bool isBlack(const Tile& tile) {
    return tile.colour == black;
}

// Whoever shows the board sees the change (nobody during set-up, or on a board not shown).
void showChange(Tile& tile, std::int32_t oldColour) {
    if (tile.board != nullptr && tile.board->effects != nullptr) {
        tile.board->effects->tileRecoloured(tile, oldColour);
    }
}

}  // namespace

std::int32_t Tile::recolour(std::int32_t newColour) {
    if (newColour == colour) {
        return 0;
    }
    struct Frame {
        Tile* tile;
        std::int32_t old;
        int next;
        std::int32_t count;
    };
    std::vector<Frame> stack;
    auto enter = [&](Tile* tile) {
        stack.push_back(Frame{tile, tile->colour, 0, 0});
        tile->colour = newColour;
    };
    enter(this);
    std::int32_t result = 0;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next < 6) {
            Tile* neighbour = frame.tile->neighbours[static_cast<std::size_t>(frame.next++)];
            if (neighbour == nullptr) {
                continue;
            }
            // The old colour is repainted whether owned or not; an unowned area of the new
            // colour is claimed.
            if (neighbour->colour == frame.old) {
                enter(neighbour);
            } else if (neighbour->colour == newColour && !neighbour->owned) {
                frame.count += neighbour->claim();
            }
            continue;
        }
        showChange(*frame.tile, frame.old);
        const std::int32_t count = frame.count;
        stack.pop_back();
        (stack.empty() ? result : stack.back().count) += count;
    }
    return result;
}

std::int32_t Tile::claim() {
    if (owned) {
        return 0;
    }
    struct Frame {
        Tile* tile;
        int next;
        std::int32_t count;
    };
    std::vector<Frame> stack;
    owned = true;
    stack.push_back(Frame{this, 0, 1});
    std::int32_t result = 0;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next < 6) {
            Tile* neighbour = frame.tile->neighbours[static_cast<std::size_t>(frame.next++)];
            if (neighbour != nullptr && !neighbour->owned &&
                neighbour->colour == frame.tile->colour) {
                neighbour->owned = true;
                stack.push_back(Frame{neighbour, 0, 1});
            }
            continue;
        }
        const std::int32_t count = frame.count;
        stack.pop_back();
        (stack.empty() ? result : stack.back().count) += count;
    }
    return result;
}

std::int32_t Tile::captureEnclosed() {
    struct Frame {
        Tile* tile;
        std::int32_t stamp;
        int next;
        std::int32_t count;
    };
    std::vector<Frame> stack;
    auto enter = [&](Tile* tile) {
        tile->mark = tile->colour;
        stack.push_back(Frame{tile, tile->colour, 0, 0});
    };
    enter(this);
    std::int32_t result = 0;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next < 6) {
            Tile* neighbour = frame.tile->neighbours[static_cast<std::size_t>(frame.next++)];
            if (neighbour == nullptr || neighbour->mark == frame.stamp) {
                continue;
            }
            if (neighbour->owned) {
                // On through the territory; another player's territory stops the walk.
                if (neighbour->colour == frame.stamp) {
                    enter(neighbour);
                }
                continue;
            }
            // isEnclosed and absorb keep their own stacks, so `frame` stays valid meanwhile.
            if (neighbour->isEnclosed(frame.stamp, frame.count)) {
                frame.count += neighbour->absorb(frame.stamp);
            }
            continue;
        }
        const std::int32_t count = frame.count;
        stack.pop_back();
        (stack.empty() ? result : stack.back().count) += count;
    }
    return result;
}

bool Tile::isEnclosed(std::int32_t stamp, std::int32_t& counter) {
    struct Frame {
        Tile* tile;
        int next;
        bool visitedNeighbour;
    };
    std::vector<Frame> stack;

    // Stamps the tile and makes the first pass over its neighbours: false (after marking the
    // region) when it touches another colour's territory; otherwise the tile's frame is pushed.
    auto enter = [&](Tile* tile) -> bool {
        tile->mark = stamp;
        bool visited = false;
        for (Tile* neighbour : tile->neighbours) {
            if (neighbour == nullptr) {
                continue;
            }
            if (neighbour->owned && neighbour->colour != stamp) {
                tile->markRegion(stamp);
                return false;
            }
            if (!neighbour->owned && neighbour->mark == stamp && !isBlack(*neighbour)) {
                visited = true;
            }
        }
        stack.push_back(Frame{tile, 0, visited});
        return true;
    };

    // Hands a finished call's answer to its caller, which either carries on (true) or marks its
    // own region and answers false in turn. True when the outermost call has answered.
    bool answer = false;
    auto deliver = [&](bool enclosed, Tile* child) -> bool {
        while (!stack.empty()) {
            Frame& parent = stack.back();
            if (enclosed) {
                // A pocket inside a black area is taken at once.
                if (isBlack(*parent.tile) && !isBlack(*child)) {
                    counter += child->absorb(stamp);
                }
                return false;
            }
            parent.tile->markRegion(stamp);
            child = parent.tile;
            stack.pop_back();
        }
        answer = enclosed;
        return true;
    };

    if (!enter(this)) {
        return false;
    }
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const bool tileIsBlack = isBlack(*frame.tile);
        if (frame.next < 6) {
            Tile* neighbour = frame.tile->neighbours[static_cast<std::size_t>(frame.next++)];
            // Ordinary cells explore their ordinary area only (black cells are walls); a black
            // cell explores everything unowned around it.
            if (neighbour == nullptr || neighbour->owned || neighbour->mark == stamp ||
                (!tileIsBlack && isBlack(*neighbour))) {
                continue;
            }
            if (!enter(neighbour) && deliver(false, neighbour)) {
                return answer;
            }
            continue;
        }
        const bool enclosed = !(tileIsBlack && frame.visitedNeighbour);
        Tile* finished = frame.tile;
        stack.pop_back();
        if (deliver(enclosed, finished)) {
            return answer;
        }
    }
    return answer;
}

void Tile::markRegion(std::int32_t stamp) {
    struct Frame {
        Tile* tile;
        int next;
    };
    std::vector<Frame> stack;
    mark = stamp;
    stack.push_back(Frame{this, 0});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next >= 6) {
            stack.pop_back();
            continue;
        }
        Tile* neighbour = frame.tile->neighbours[static_cast<std::size_t>(frame.next++)];
        if (neighbour != nullptr && !neighbour->owned && neighbour->mark != stamp &&
            isBlack(*neighbour) == isBlack(*frame.tile)) {
            neighbour->mark = stamp;
            stack.push_back(Frame{neighbour, 0});
        }
    }
}

std::int32_t Tile::absorb(std::int32_t newColour) {
    struct Frame {
        Tile* tile;
        std::int32_t old;
        int next;
        std::int32_t count;
    };
    std::vector<Frame> stack;
    auto enter = [&](Tile* tile) {
        stack.push_back(Frame{tile, tile->colour, 0, 1});
        tile->colour = newColour;
        tile->owned = true;
    };
    enter(this);
    std::int32_t result = 0;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next < 6) {
            Tile* neighbour = frame.tile->neighbours[static_cast<std::size_t>(frame.next++)];
            // A walled-in ordinary area stops at its black walls; a black area takes everything.
            if (neighbour != nullptr && !neighbour->owned &&
                (!isBlack(*neighbour) || frame.old == black)) {
                enter(neighbour);
            }
            continue;
        }
        showChange(*frame.tile, frame.old);
        const std::int32_t count = frame.count;
        stack.pop_back();
        (stack.empty() ? result : stack.back().count) += count;
    }
    return result;
}
