// The key rules of the board, on a scene that never touches a device.
#include <gtest/gtest.h>

#include "scene/board_scene.h"

namespace {

struct BoardState {
    int cursorCol, cursorRow, pieceCol, pieceRow, selected;
    bool operator==(const BoardState&) const = default;
};

BoardState StateOf(const BoardScene& scene) {
    return {scene.cursorCol, scene.cursorRow, scene.pieceCol, scene.pieceRow, scene.selected};
}

void Press(BoardScene& scene, std::initializer_list<WPARAM> keys) {
    for (WPARAM key : keys) {
        scene.OnKey(key);
    }
}

TEST(BoardRules, StartWithCursorAndPieceOnTheFirstCellAndNothingHeld) {
    BoardScene scene;
    EXPECT_EQ(StateOf(scene), (BoardState{0, 0, 0, 0, 0}));
    EXPECT_EQ(scene.textRenderer, nullptr);
    EXPECT_EQ(scene.spriteBatch, nullptr);
    EXPECT_EQ(scene.pieceSprite.texture, nullptr);
}

TEST(BoardRules, ArrowsWalkTheCursorAndStopAtEveryEdge) {
    BoardScene scene;
    Press(scene, {VK_LEFT, VK_UP});
    EXPECT_EQ(StateOf(scene), (BoardState{0, 0, 0, 0, 0}));
    Press(scene, {VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT});
    EXPECT_EQ(scene.cursorCol, 6);
    Press(scene, {VK_RIGHT});
    EXPECT_EQ(scene.cursorCol, 6);
    Press(scene, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN});
    EXPECT_EQ(scene.cursorRow, 6);
    Press(scene, {VK_LEFT, VK_UP});
    EXPECT_EQ(StateOf(scene), (BoardState{5, 5, 0, 0, 0}));
}

TEST(BoardRules, SpacePicksUpOnThePieceAndSetsDownOnAnotherCell) {
    BoardScene scene;
    Press(scene, {VK_SPACE});
    EXPECT_EQ(StateOf(scene), (BoardState{0, 0, 0, 0, 1}));
    Press(scene, {VK_SPACE});  // same cell: still held
    EXPECT_EQ(StateOf(scene), (BoardState{0, 0, 0, 0, 1}));
    Press(scene, {VK_RIGHT, VK_RIGHT, VK_SPACE});
    EXPECT_EQ(StateOf(scene), (BoardState{2, 0, 2, 0, 0}));
}

TEST(BoardRules, SpaceOffThePieceWithNothingHeldDoesNothing) {
    BoardScene scene;
    Press(scene, {VK_DOWN, VK_SPACE});
    EXPECT_EQ(StateOf(scene), (BoardState{0, 1, 0, 0, 0}));
    Press(scene, {VK_UP, VK_SPACE, VK_DOWN});  // now held, moved off
    EXPECT_EQ(StateOf(scene), (BoardState{0, 1, 0, 0, 1}));
}

TEST(BoardRules, AHeldPieceMayGoAnywhere) {
    BoardScene scene;
    Press(scene, {VK_SPACE});
    for (int step = 0; step < 6; ++step) {
        Press(scene, {VK_RIGHT, VK_DOWN});
    }
    Press(scene, {VK_SPACE});
    EXPECT_EQ(StateOf(scene), (BoardState{6, 6, 6, 6, 0}));
}

TEST(BoardRules, OtherKeysChangeNothing) {
    BoardScene scene;
    Press(scene, {VK_RIGHT, VK_DOWN});
    const BoardState before = StateOf(scene);
    Press(scene, {VK_RETURN, VK_ESCAPE, VK_F1, 'A', 0, VK_HOME, VK_RIGHT + 0x100});
    EXPECT_EQ(StateOf(scene), before);
}

}  // namespace
