// Where the children and the time text sit: fixed percentages of the client
// size, computed once when the main window is created.
#include "core/player_state.h"
#include "ui/face.h"

int Proportion(int dimension, int percent)
{
    // Each product is rounded to a double before the next step. The x87
    // unit would otherwise carry extra precision and turn 58 × 0.01 × 50
    // into 29 instead of 28.
    volatile double scaled = dimension * 0.01;
    volatile double product = scaled * percent;
    return static_cast<int>(product);
}

void LayoutChildren(int width, int height)
{
    // Percentages of the client width (x, width) and height (y, height).
    const struct {
        HWND window;
        int x, y, width, height;
    } places[] = {
        {player.labelWindow, 4, 8, 92, 22},  {player.trackBar, 4, 35, 92, 22},
        {player.closeButton, 5, 70, 7, 20},  {player.playButton, 15, 70, 9, 20},
        {player.pauseButton, 27, 70, 9, 20}, {player.stopButton, 39, 70, 9, 20},
    };
    for (const auto &place : places)
        SetWindowPos(place.window, nullptr, Proportion(width, place.x), Proportion(height, place.y),
                     Proportion(width, place.width), Proportion(height, place.height), SWP_NOZORDER);

    player.timeRect.left = Proportion(width, 50);
    player.timeRect.top = Proportion(height, 70);
    player.timeRect.right = Proportion(width, 95);
    player.timeRect.bottom = Proportion(height, 90);
}
