// The floor under the engine's frame: the default level's world triangles with their textures and light maps,
// one glDrawElements per material group, along the camera path of the walk demo, with nothing else — no sky,
// weapon, flares, effects, text or per-pass state. A frame is the clear, the draw, glFinish and the buffer swap,
// as the timedemo counts it; the walk timedemo's frame time divided by this one is the engine's overhead.
//
// Needs a display (or SDL_VIDEODRIVER=offscreen) and the build's data.pck; KORVATH_ARCHIVE names another.
#include "render/XCamera.h"
#include "render/XExtensions.h"
#include "render/XSceneTextureHost.h"
#include "render/XTexture.h"
#include "render/XTextureManager.h"
#include "scene/XArchive.h"
#include "scene/XMesh.h"
#include "scene/XScene.h"
#include "scene/XSceneLoader.h"
#include "scene/XSceneNode.h"
#include "scene/XShaderManager.h"
#include "shell/XLog.h"
#include "shell/XOptions.h"
#include "shell/XWindow.h" // RequestEngineGLAttributes

#include <SDL.h>
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm> // std::min
#include <cstdio>    // fopen, sscanf
#include <cstdlib>   // getenv
#include <memory>
#include <string>
#include <vector>

namespace {

const int kWidth = 800;
const int kHeight = 600;
const float kEyeHeight = 1.0f; // the player's eye above his position

// One frame of the walk demo's camera.
struct CameraPose {
    XVector3 position;
    float yaw = 0.0f;
    float pitch = 0.0f;
    float zoom = 1.0f;
};

// One glDrawElements: a material group's triangles and its two textures.
struct GroupDraw {
    const XMesh* mesh = nullptr;
    const uint16_t* firstIndex = nullptr;
    int indexCount = 0;
    GLuint texture0 = 0;
    GLuint lightMap = 0;
};

// The loader's host without the loading screens: the baseline draws nothing but the world.
class QuietTextureHost : public XSceneTextureHost {
public:
    void ShowProgress(const std::string&) override {}
};

std::vector<CameraPose> ReadCameraPath()
{
    std::vector<CameraPose> path;
    FILE* const file = std::fopen(KORVATH_SOURCE_DIR "/tests/benchmarks/data/walk-camera.txt", "r");
    if (file == nullptr) {
        return path;
    }
    char line[256] = {};
    while (std::fgets(line, sizeof(line), file) != nullptr) {
        CameraPose pose;
        if (line[0] != '#' && std::sscanf(line, "%f %f %f %f %f %f", &pose.position.x, &pose.position.y,
                                          &pose.position.z, &pose.yaw, &pose.pitch, &pose.zoom) == 6) {
            path.push_back(pose);
        }
    }
    std::fclose(file);
    return path;
}

// The window, the level and the list of draws, made once for the process.
class BaselineWorld {
public:
    bool Ready() const { return error.empty(); }
    const std::string& Error() const { return error; }

    BaselineWorld()
    {
        path = ReadCameraPath();
        if (path.empty()) {
            error = "no camera path (tests/benchmarks/data/walk-camera.txt)";
            return;
        }
        if (!OpenWindow()) {
            return;
        }
        GetLog()->SetDialogsEnabled(false); // a report goes to stderr: no message box may wait for a click here
        LoadExtensionEntryPoints();
        const char* const archive = std::getenv("KORVATH_ARCHIVE");
        // The loaders select the archive of the program's options again before each read.
        XOptions options;
        options.archive = archive != nullptr ? archive : KORVATH_BINARY_DIR "/data.pck";
        SetOptions(options);
        QXInitialize();
        if (!QXSetArchive(options.archive.c_str(), "")) {
            error = "cannot open the data archive (build the data target, or set KORVATH_ARCHIVE)";
            return;
        }
        // The manager loads the engine's own pictures when it is first used; that must not happen while the
        // loader holds the scene file open (the archive reads one entry at a time), so it is made first, as the
        // game's loading screens make it.
        GetTextureManager();
        XSceneLoader loader;
        loader.SetScene(&scene);
        loader.SetPath("data\\scene\\");
        loader.SetHost(&host);
        loader.Load("world");
        CollectDraws();
        if (draws.empty()) {
            error = "the level has no textured world triangles";
            return;
        }
        SetFixedState();
    }

    // Draws frame `index` of the path and waits for it to be on screen.
    void DrawFrame(size_t index)
    {
        const CameraPose& pose = path[index % path.size()];
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT); // as the engine clears
        camera.SetPosition(pose.position);
        camera.SetYaw(pose.yaw);
        camera.SetPitch(pose.pitch);
        camera.SetValue(XVector3(pose.zoom, 0.0f, 0.0f));
        camera.Apply(false, 0.0f, kEyeHeight);

        const XMesh* current = nullptr;
        for (const GroupDraw& draw : draws) {
            if (draw.mesh != current) {
                current = draw.mesh;
                glVertexPointer(3, GL_FLOAT, 0, current->GetPositions());
                glClientActiveTexture(GL_TEXTURE0);
                glTexCoordPointer(2, GL_FLOAT, 0, current->GetTexCoordsA());
                glClientActiveTexture(GL_TEXTURE1);
                glTexCoordPointer(2, GL_FLOAT, 0, current->GetTexCoordsB());
            }
            glActiveTexture(GL_TEXTURE0);
            glBindTexture(GL_TEXTURE_2D, draw.texture0);
            glActiveTexture(GL_TEXTURE1);
            glBindTexture(GL_TEXTURE_2D, draw.lightMap);
            glDrawElements(GL_TRIANGLES, draw.indexCount, GL_UNSIGNED_SHORT, draw.firstIndex);
        }
        glFinish();
        SDL_GL_SwapWindow(window);
    }

    size_t PathLength() const { return path.size(); }
    size_t DrawCount() const { return draws.size(); }
    int TriangleCount() const
    {
        int triangles = 0;
        for (const GroupDraw& draw : draws) {
            triangles += draw.indexCount / 3;
        }
        return triangles;
    }

private:
    bool OpenWindow()
    {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            error = std::string("SDL video: ") + SDL_GetError();
            return false;
        }
        RequestEngineGLAttributes(); // the engine window's buffer, so that both draw into the same kind
        window = SDL_CreateWindow("world baseline", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWidth, kHeight,
                                  SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS);
        if (window == nullptr) {
            error = std::string("window: ") + SDL_GetError();
            return false;
        }
        context = SDL_GL_CreateContext(window);
        if (context == nullptr) {
            error = std::string("OpenGL context: ") + SDL_GetError();
            return false;
        }
        SDL_GL_MakeCurrent(window, context);
        SDL_GL_SetSwapInterval(0); // refused under Xvfb, where swaps are unthrottled anyway
        glViewport(0, 0, kWidth, kHeight);
        return true;
    }

    // The groups the world pass draws: every object but the weapon and the sky, each up to its first group
    // without a picture or light map.
    void CollectDraws()
    {
        XTextureManager* const textures = GetTextureManager();
        for (int n = 0; n < scene.GetNodeCount(); ++n) {
            const XSceneNode* const node = scene.GetNode(n);
            if (node == nullptr || node->GetName() == "plasma" || node->GetName() == "skydome") {
                continue;
            }
            const XMesh* const mesh = node->GetMesh();
            if (mesh == nullptr || mesh->GetTriangles() == nullptr || mesh->GetTexCoordsA() == nullptr ||
                mesh->GetTexCoordsB() == nullptr) {
                continue;
            }
            int first = 0;
            for (int g = 0; g < node->GetMaterialGroupCount() && first < mesh->GetTriangleCount(); ++g) {
                const XMaterialGroup group = node->GetMaterialGroup(g);
                const XShader& material = GetShaderManager()->GetShader(group.materialId);
                XTexture* const picture = Texture(textures, material.texture0);
                XTexture* const lightMap = Texture(textures, material.texture1);
                if (picture == nullptr || lightMap == nullptr) {
                    break;
                }
                // The engine applies each texture's wrap and filters at every bind; once is enough to put them
                // into the texture objects, which keep them.
                picture->Bind(0);
                lightMap->Bind(0);
                const int count = std::min(group.triangleCount, mesh->GetTriangleCount() - first);
                draws.push_back({mesh, mesh->GetTriangles() + 3 * first, 3 * count, picture->GetId(), lightMap->GetId()});
                first += count;
            }
        }
    }

    static XTexture* Texture(XTextureManager* textures, int index)
    {
        return index >= 0 && index < textures->GetSceneTextureCount() ? textures->GetTexture(index) : nullptr;
    }

    // The world pass's state, set once: culled, depth-tested, unblended, unlit, the picture replacing the white
    // colour and the light map modulating it, as the engine's opaque world pass draws.
    static void SetFixedState()
    {
        glEnable(GL_CULL_FACE);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glDepthMask(GL_TRUE);
        glDisable(GL_BLEND);
        glDisable(GL_LIGHTING);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        for (const GLenum unit : {GL_TEXTURE0, GL_TEXTURE1}) {
            glActiveTexture(unit);
            glEnable(GL_TEXTURE_2D);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, unit == GL_TEXTURE0 ? GL_REPLACE : GL_MODULATE);
            glClientActiveTexture(unit);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        glEnableClientState(GL_VERTEX_ARRAY);
    }

    std::string error;
    std::vector<CameraPose> path;
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    XScene scene;
    QuietTextureHost host;
    XCamera camera;
    std::vector<GroupDraw> draws;
};

BaselineWorld& World()
{
    static BaselineWorld* const world = new BaselineWorld(); // lives to the process end, like the engine's
    return *world;
}

// One iteration is one frame; the iteration count is the walk demo's frame count, so a run covers its path once.
void WalkWorldBaseline(benchmark::State& state)
{
    BaselineWorld& world = World();
    if (!world.Ready()) {
        state.SkipWithError(world.Error().c_str());
        return;
    }
    size_t frame = 0;
    for (auto _ : state) {
        world.DrawFrame(frame++);
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["draws"] = static_cast<double>(world.DrawCount());
    state.counters["triangles"] = static_cast<double>(world.TriangleCount());
}
BENCHMARK(WalkWorldBaseline)->Iterations(2449)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
