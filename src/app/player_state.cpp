#include "app/player_state.h"

// Zero at program load; the containers start empty.
PlayerState player;

void CreateDrawingResources()
{
    player.backgroundBrush = CreateSolidBrush(BackgroundColour);
    player.lightPen = CreatePen(PS_SOLID, 1, LightPenColour);
    player.darkPen = CreatePen(PS_SOLID, 1, DarkPenColour);
    player.labelBrush = CreateSolidBrush(LabelColour);
    player.closeBrush = CreateSolidBrush(CloseColour);
    player.frameBrush = CreateSolidBrush(FrameColour);
    player.faceBrush = CreateSolidBrush(FaceColour);
    player.activeBrush = CreateSolidBrush(ActiveColour);
    player.idleBrush = CreateSolidBrush(IdleColour);
}

void DeleteDrawingResources()
{
    DeleteObject(player.backgroundBrush);
    DeleteObject(player.lightPen);
    DeleteObject(player.darkPen);
    DeleteObject(player.labelBrush);
    DeleteObject(player.closeBrush);
    DeleteObject(player.frameBrush);
    DeleteObject(player.faceBrush);
    DeleteObject(player.activeBrush);
    DeleteObject(player.idleBrush);
    player.backgroundBrush = nullptr;
    player.lightPen = nullptr;
    player.darkPen = nullptr;
    player.labelBrush = nullptr;
    player.closeBrush = nullptr;
    player.frameBrush = nullptr;
    player.faceBrush = nullptr;
    player.activeBrush = nullptr;
    player.idleBrush = nullptr;
}
