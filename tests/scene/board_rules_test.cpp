// The key rules of the board, on a scene that never touches a device.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "scene/board_scene.h"

namespace {

const WPARAM L = VK_LEFT, R = VK_RIGHT, U = VK_UP, D = VK_DOWN, S = VK_SPACE;

TEST(BoardRules, KeySequencesLeaveTheExpectedState) {
    // Keys from the start, then cursor column and row, piece column and row, held.
    const struct { const char* name; std::vector<WPARAM> keys; std::tuple<int, int, int, int, int> after; } cases[] = {
        {"start on the first cell, nothing held", {}, {0, 0, 0, 0, 0}},
        {"left and up stop at the first cell", {L, U}, {0, 0, 0, 0, 0}},
        {"right and down stop at the last cell", {R, R, R, R, R, R, R, D, D, D, D, D, D, D}, {6, 6, 0, 0, 0}},
        {"left and up step back", {R, R, D, D, L, U}, {1, 1, 0, 0, 0}},
        {"space on the piece picks it up", {S}, {0, 0, 0, 0, 1}},
        {"space on the piece again keeps it held", {S, S}, {0, 0, 0, 0, 1}},
        {"space on another cell sets it down there", {S, R, R, S}, {2, 0, 2, 0, 0}},
        {"a piece set down can be picked up again", {S, R, S, S}, {1, 0, 1, 0, 1}},
        {"space off the piece with nothing held does nothing", {D, S}, {0, 1, 0, 0, 0}},
        {"moving keeps the piece held", {S, D}, {0, 1, 0, 0, 1}},
        {"a held piece may go anywhere", {S, R, R, R, R, R, R, D, D, D, D, D, D, S}, {6, 6, 6, 6, 0}},
        {"other keys change nothing", {R, D, VK_RETURN, VK_ESCAPE, VK_F1, 'A', 0, VK_HOME, R + 0x100}, {1, 1, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        BoardScene scene;
        for (WPARAM key : c.keys) scene.OnKey(key);
        EXPECT_EQ(std::tuple(scene.cursorCol, scene.cursorRow, scene.pieceCol, scene.pieceRow, scene.selected), c.after)
            << c.name;
    }
}

}  // namespace
