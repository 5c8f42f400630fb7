// XTrace: one JSON line per frame.
#include "game/XTrace.h"

#include "game/JsonText.h"
#include "game/XGame.h"
#include "game/XProjectileList.h"
#include "render/XDecal.h"
#include "render/XExplosion.h"
#include "render/XRenderer.h"
#include "shell/XOptions.h"
#include "shell/XTimer.h"
#include "shell/XWindow.h"
#include "space/XCollision.h"

XTrace::XTrace(const std::string& path)
{
    line.reserve(1024); // a frame's line is some 600 characters
    file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        std::fprintf(stderr, "korvath: --trace: cannot write '%s'\n", path.c_str());
    }
}

XTrace::~XTrace()
{
    if (file != nullptr) {
        std::fclose(file);
    }
}

void XTrace::WriteFrame(const XGame& game)
{
    if (file == nullptr) {
        return;
    }
    const XPlayerBody* const player = game.GetPlayer();
    const XCollision* const collision = GetCollision();
    const XProjectileList* const projectiles = GetProjectileList();
    line.clear();
    line += "{\"frame\": ";
    AppendJsonInteger(line, GetWindow()->FrameNumber());
    line += ", \"time\": ";
    AppendJsonInteger(line, GetTimer()->GetTime());
    line += ", \"dt\": ";
    AppendJsonNumber(line, GetTimer()->GetFrameTime());
    line += ", \"pos\": ";
    AppendJsonVector(line, player->GetPosition());
    line += ", \"eye\": ";
    AppendJsonVector(line, player->GetEyePosition());
    line += ", \"yaw\": ";
    AppendJsonNumber(line, player->GetYaw());
    line += ", \"pitch\": ";
    AppendJsonNumber(line, player->GetPitch());
    line += ", \"zoom\": ";
    AppendJsonNumber(line, player->GetZoom());
    line += ", \"vel\": ";
    AppendJsonVector(line, player->GetVelocity());
    line += ", \"airborne\": ";
    AppendJsonBool(line, player->IsAirborne());
    line += ", \"onFloor\": ";
    AppendJsonBool(line, collision->OnFloor());
    line += ", \"onCeiling\": ";
    AppendJsonBool(line, collision->OnCeiling());
    line += ", \"slides\": ";
    AppendJsonInteger(line, collision->Slides());
    line += ", \"overlaps\": ";
    AppendJsonInteger(line, collision->Overlaps());
    line += ", \"fly\": ";
    AppendJsonBool(line, game.IsFlyMode());
    line += ", \"paused\": ";
    AppendJsonBool(line, game.IsPaused());
    line += ", \"weapon\": ";
    AppendJsonInteger(line, game.CurrentWeapon());
    line += ", \"switching\": ";
    AppendJsonBool(line, game.IsWeaponSwitching());
    line += ", \"projectiles\": ";
    AppendJsonInteger(line, projectiles->Count());
    line += ", \"rockets\": ";
    AppendJsonInteger(line, projectiles->RocketCount());
    line += ", \"decals\": ";
    AppendJsonInteger(line, GetDecalList()->Count());
    line += ", \"explosions\": ";
    AppendJsonInteger(line, GetExplosionList()->Count());
    line += ", \"spotlight\": ";
    AppendJsonBool(line, game.IsSpotlightOn());
    line += ", \"triangleMode\": ";
    AppendJsonInteger(line, game.TriangleMode());
    line += ", \"octreeBoxes\": ";
    AppendJsonBool(line, game.AreOctreeBoxesShown());
    line += ", \"debugInfo\": ";
    AppendJsonBool(line, game.IsDebugInfoShown());
    line += ", \"helpShown\": ";
    AppendJsonBool(line, game.IsHelpShown());
    line += ", \"panelY\": ";
    AppendJsonNumber(line, game.PanelY());
    line += ", \"drawnTriangles\": ";
    AppendJsonInteger(line, GetRenderer()->DrawnTriangles());
    if (GetOptions().watch) {
        line += ", \"reloads\": ";
        AppendJsonInteger(line, game.ReloadCount());
    }
    line += "}\n";
    std::fwrite(line.data(), 1, line.size(), file);
}
