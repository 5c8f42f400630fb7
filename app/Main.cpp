// Program entry: reads the command line, opens the window and runs the message loop, whose frame function
// starts the game on its first call and then runs one game frame per pass.
#include "game/XGame.h"
#include "app/XLevelPreview.h"
#include "app/XLevelWatch.h"
#include "scene/XArchive.h"
#include "shell/XArchiveLocation.h"
#include "render/XGLErrorWatch.h"
#include "shell/XAnimationManager.h"
#include "shell/XAutomation.h"
#include "shell/XFrameProfile.h"
#include "shell/XInput.h"
#include "shell/XInputScript.h"
#include "shell/XLog.h"
#include "shell/XOptions.h"
#include "shell/XRecorder.h"
#include "shell/XScreenshotWriter.h"
#include "shell/XSettings.h"
#include "shell/XStartupProfile.h"
#include "shell/XUserFolders.h"
#include "shell/XWindow.h"

#include <cstdio>  // printf, fprintf, snprintf
#include <algorithm> // max
#include <cstdlib> // atexit, srand
#include <malloc.h> // mallopt
#include <memory>  // unique_ptr
#include <sys/stat.h> // stat
#include <string>
#include <unistd.h>   // access
#include <vector>

namespace {

bool firstFrame = true;
// With --watch: the level watch, and the save a script's "wait level N" asks this frame to wait for (0: none).
std::unique_ptr<XLevelWatch> levelWatch;
int levelWait = 0;
// How long a scripted wait for a save may take before the run is given up: a full-quality compile of a test
// level takes seconds, under the sanitizers some ten; the Citadel's some minutes.
const double kLevelWaitLimitSeconds = 600.0;

void ReceiveLevelWait(int save)
{
    levelWait = std::max(levelWait, save);
}

// At the frame boundary, before the game frame: the scripted wait, if any, then the watch's work of a frame.
void UpdateLevelWatch()
{
    if (levelWait > 0) {
        const int save = levelWait;
        levelWait = 0;
        if (!levelWatch->WaitForSave(save, kLevelWaitLimitSeconds)) {
            GetLog()->ShowFatal("wait level " + std::to_string(save) + ": save " + std::to_string(save) + " of " +
                                GetOptions().levelPath + " was not dealt with within " +
                                std::to_string(static_cast<int>(kLevelWaitLimitSeconds)) + " seconds");
        }
    }
    levelWatch->Update();
}

// The frame function: start-up on the first call, then animations and the game frame.
void OnFrame()
{
    const bool startUp = firstFrame;
    if (firstFrame) {
        firstFrame = false;
        GetStartupProfile()->End("options and window");
        GetInput()->ClipMouse(true);
        GetWindow()->SetLoadingPhase(true);
        GetGame()->StartUp();
        GetWindow()->SetLoadingPhase(false);
    }
    if (levelWatch) {
        UpdateLevelWatch();
    }
    GetAnimationManager()->Tick();
    GetGame()->Frame();
    GetFrameProfile()->EndFrame();
    if (startUp) {
        GetStartupProfile()->End("first frame");
        GetLog()->Log(GetStartupProfile()->Line());
    }
}

// Frees the cursor when the process ends.
void ReleaseMouseAtExit()
{
    GetInput()->ClipMouse(false);
}

XPoint SizeOfMode(int mode)
{
    switch (mode) {
    case 0: return {640, 480};
    case 2: return {1024, 768};
    default: return {800, 600};
    }
}

bool IsDirectory(const std::string& path)
{
    struct stat info = {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Whether a file can be created (or replaced) at path.
bool CanWrite(const std::string& path)
{
    FILE* const file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

// The folder a file would be written into ("." for a bare name).
std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Whether a picture can be saved at path later in the run: its folder exists and takes new files, and the
// path is not itself a folder. False with a message naming the option, the file and the folder.
bool CanSavePictureAt(const std::string& option, const std::string& path)
{
    const std::string folder = FolderOf(path);
    if (!IsDirectory(folder)) {
        std::fprintf(stderr, "korvath: %s: cannot write '%s': the folder '%s' does not exist\n", option.c_str(),
                     path.c_str(), folder.c_str());
        return false;
    }
    if (access(folder.c_str(), W_OK) != 0) {
        std::fprintf(stderr, "korvath: %s: cannot write '%s': the folder '%s' is not writable\n", option.c_str(),
                     path.c_str(), folder.c_str());
        return false;
    }
    if (IsDirectory(path)) {
        std::fprintf(stderr, "korvath: %s: cannot write '%s': it is a folder\n", option.c_str(), path.c_str());
        return false;
    }
    return true;
}

// Selects the game's archive before anything needs it. The game reads its data from an archive file; a
// folder, or a file PhysicsFS cannot open, ends the program here with the reason rather than with the
// consequences (missing font, missing level, ...). False after the message.
bool SelectGameArchive(const std::string& archive)
{
    std::string reason;
    if (IsDirectory(archive)) {
        reason = "it is a folder, not an archive file";
    } else if (!QXInitialize()) {
        reason = "the archive layer could not be started";
    } else {
        QXSelectArchive(archive.c_str(), reason);
    }
    if (reason.empty()) {
        return true;
    }
    GetLog()->ShowError("Archive " + archive + " could not be opened: " + reason);
    return false;
}

// Applies the automation options; false (with a message) when one cannot be honoured.
bool ConfigureAutomation(const XOptions& options)
{
    XAutomation* const automation = GetAutomation();
    const std::string& scriptPath = !options.timedemoPath.empty() ? options.timedemoPath : options.scriptPath;
    if (!scriptPath.empty()) {
        XInputScript script;
        std::string error;
        if (!script.Load(scriptPath, error)) {
            std::fprintf(stderr, "korvath: %s\n", error.c_str());
            return false;
        }
        if (!options.timedemoPath.empty()) {
            if (!script.HasFrameTimes()) {
                std::fprintf(stderr, "korvath: %s: no frame times ('N dt MS' lines): record a demo with --record\n",
                             scriptPath.c_str());
                return false;
            }
            const int frames = options.frames > 0 ? options.frames : script.LastFrame();
            automation->SetFrameLimit(frames);
            GetFrameProfile()->Enable(true);
            GetFrameProfile()->Reserve(frames);
        }
        for (const XScriptEvent& event : script.Events()) {
            if (event.kind == XScriptEvent::Kind::WaitLevel && !options.watch) {
                std::fprintf(stderr, "korvath: %s: frame %d: 'wait level' waits for a save of the level that "
                             "--level FILE --watch watches, and the run has no --watch\n", scriptPath.c_str(),
                             event.frame);
                return false;
            }
        }
        automation->SetScript(script);
        automation->SetLevelWaitReceiver(ReceiveLevelWait);
    }
    if (!options.recordPath.empty()) {
        if (!GetRecorder()->Open(options.recordPath)) {
            std::fprintf(stderr, "korvath: cannot write '%s'\n", options.recordPath.c_str());
            return false;
        }
        automation->SetRecording(true);
    }
    if (!options.loadingShotsDir.empty() && !IsDirectory(options.loadingShotsDir) &&
        mkdir(options.loadingShotsDir.c_str(), 0777) != 0) {
        std::fprintf(stderr, "korvath: --loading-shots: cannot create directory '%s'\n",
                     options.loadingShotsDir.c_str());
        return false;
    }
    for (const std::string* output : {&options.tracePath, &options.dumpScenePath}) {
        if (!output->empty() && !CanWrite(*output)) {
            std::fprintf(stderr, "korvath: cannot write '%s'\n", output->c_str());
            return false;
        }
    }
    automation->SetLoadingShotsDirectory(options.loadingShotsDir);
    if (options.timedemoPath.empty()) {
        automation->SetFrameLimit(options.frames);
    }
    for (const auto& shot : options.screenshots) {
        if (!CanSavePictureAt("--screenshot", shot.second)) {
            return false;
        }
        automation->AddScreenshot(shot.first, shot.second);
    }
    automation->SetFastForward(options.fastForward);
    if (options.fixedStep > 0.0) {
        automation->SetFixedStep(options.fixedStep);
        std::srand(1);
    }
    return true;
}

// The settings of the run: the --config file, else (in a player's run, not an automated one) the user's file,
// written with the defaults when it does not exist yet; then the --set overrides. A bad line of a file is a
// warning and keeps its key's default; a bad --set stops the program (false, after the message).
bool LoadSettings(const XOptions& options)
{
    XSettings settings;
    std::vector<std::string> warnings;
    std::string source = "the defaults";
    if (!options.configPath.empty()) {
        if (!ReadSettingsFile(options.configPath, settings, warnings)) {
            std::fprintf(stderr, "korvath: --config: cannot read '%s'\n", options.configPath.c_str());
            return false;
        }
        source = options.configPath;
    } else if (!IsAutomatedRun(options)) {
        const std::string path = UserSettingsFile();
        if (access(path.c_str(), F_OK) != 0) {
            if (WriteDefaultSettings(path)) {
                GetLog()->Log("Settings: wrote the defaults to " + path);
            }
        } else {
            ReadSettingsFile(path, settings, warnings);
        }
        source = path;
    }
    for (const std::string& warning : warnings) {
        std::fprintf(stderr, "korvath: warning: %s\n", warning.c_str());
        GetLog()->Log("Settings: " + warning);
    }
    for (const std::string& assignment : options.settingOverrides) {
        const size_t equals = assignment.find('=');
        const std::string key = assignment.substr(0, equals);
        const std::string problem = ApplySetting(settings, key, assignment.substr(equals + 1));
        if (!problem.empty()) {
            std::fprintf(stderr, "korvath: --set %s: %s\n", assignment.c_str(), problem.c_str());
            return false;
        }
    }
    if (source != "the defaults") {
        GetLog()->Log("Settings: " + source);
    }
    SetSettings(settings);
    return true;
}

// The log's folder: the working folder, unless it takes no files or the game runs from its installed data;
// then $XDG_STATE_HOME/korvath (made when needed).
void ChooseLogFolder(bool installed)
{
    if (!installed && access(".", W_OK) == 0) {
        return;
    }
    const std::string folder = StateFolder();
    if (MakeFolders(folder)) {
        SetLogFolder(folder);
    }
}

// The window as the options and the settings ask for it: --mode and --fullscreen win over the settings.
void ConfigureWindow(XWindow& window, const XOptions& options, const XSettings& settings)
{
    XPoint size = settings.windowSize;
    if (options.modeGiven) {
        size = options.modeSize.x > 0 ? options.modeSize : SizeOfMode(options.mode);
    }
    window.SetSize(size);
    window.SetHeadless(options.headless);
    if (options.fullscreen) {
        window.SetFullscreen();
    } else if (settings.fullscreen == XFullscreenMode::Desktop) {
        window.SetDesktopFullscreen(true);
    }
    window.SetFramed(settings.windowFrame);
    window.SetVerticalSync(settings.verticalSync);
    window.SetBindings(settings.bindings);
    window.SetGamepadLook(settings.padLookSpeed, settings.padDeadZone);
    // Focus changes and gamepads belong to a player's run; a test's input is its script alone.
    const bool interactive = !IsAutomatedRun(options) && options.recordPath.empty();
    window.SetPauseOnFocusLoss(interactive);
    window.SetGamepadEnabled(interactive);
}

XLevelPreview levelPreview;

// Removes the level viewer's scratch folder when the process ends.
void RemoveLevelPreviewAtExit()
{
    RemoveLevelPreview(levelPreview);
}

// The level viewer: compiles the level source and serves the result in front of the archive.
bool PrepareLevelViewer(const XOptions& options)
{
    std::printf("korvath: compiling %s ...\n", options.levelPath.c_str());
    std::fflush(stdout);
    levelPreview = CompileLevelPreview(options.levelPath, options.archive);
    std::atexit(RemoveLevelPreviewAtExit);
    if (!levelPreview.compiled) {
        std::fprintf(stderr, "korvath: %s\n", levelPreview.error.c_str());
        return false;
    }
    std::printf("korvath: %s: %s\n", options.levelPath.c_str(), levelPreview.summary.c_str());
    if (!QXSetOverlay(levelPreview.folder.c_str())) {
        return false;
    }
    if (options.watch) {
        // One heap arena for every thread: the compile thread's allocations then show in the heap figures the
        // watch logs after each reload (mallinfo2 reads the main arena only).
        mallopt(M_ARENA_MAX, 1);
        levelWatch = std::make_unique<XLevelWatch>(options.levelPath, levelPreview);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    GetStartupProfile()->Begin();
    const XOptionsResult parsed = ParseOptions(argc, argv);
    switch (parsed.action) {
    case XOptionsAction::Help:
        std::printf("%s", OptionsHelpText().c_str());
        return 0;
    case XOptionsAction::Version:
        std::printf("korvath %s\n", KORVATH_VERSION);
        return 0;
    case XOptionsAction::Error:
        std::fprintf(stderr, "korvath: %s\n", parsed.error.c_str());
        return 2;
    case XOptionsAction::Run:
        break;
    }
    XOptions options = parsed.options;
    bool installed = false;
    if (!parsed.archiveGiven) {
        // "data.pck" in the working directory, else next to the program, else where it was installed.
        const XArchiveSearch search = FindArchive(options.archive, ExecutableDirectory(), KORVATH_INSTALLED_DATA_DIR);
        if (!search.found.empty()) {
            options.archive = search.found;
            // An installed game: its data in <prefix>/share/korvath, wherever the prefix is.
            installed = search.found.find("/share/korvath/") != std::string::npos;
        } else {
            std::string places;
            for (const std::string& place : search.searched) {
                places += (places.empty() ? "" : ", ") + place;
            }
            std::fprintf(stderr, "korvath: no data archive found; looked for %s\n", places.c_str());
        }
    }
    ChooseLogFolder(installed);
    if (!LoadSettings(options)) {
        return 2;
    }
    if (!ConfigureAutomation(options)) {
        return 2;
    }
    SetOptions(options);
    GetLog()->SetDialogsEnabled(!options.noDialogs);
    if (!SelectGameArchive(options.archive)) {
        return 1;
    }
    if (!options.levelPath.empty() && !PrepareLevelViewer(options)) {
        return 2;
    }

    std::atexit(ReleaseMouseAtExit);
    XWindow* const window = GetWindow();
    ConfigureWindow(*window, options, GetSettings());
    if (!window->Create()) {
        const std::string message = std::string("cannot open a window: ") + window->LastError();
        GetLog()->Log(message);
        std::fprintf(stderr, "korvath: %s\n", message.c_str());
        return 1;
    }
    window->SetFrameCallback(OnFrame);
    window->Run();
    levelWatch.reset(); // stops its compile thread before the scratch folders go
    GetScreenshotWriter()->Finish();
    GetRecorder()->Close();
    if (GetFrameProfile()->Enabled()) {
        std::printf("%s", GetFrameProfile()->Report().c_str());
    }
    if (GetAutomation()->PictureWriteFailed()) {
        GetLog()->Log("The run ended early: a picture could not be written.");
        return 1;
    }
    return 0;
}
