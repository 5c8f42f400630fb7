// FaultRun: damaged archives, the short script and the clean-end checks.
#include "FaultRun.h"

#include <gtest/gtest.h>

#include <algorithm> // std::find_if, std::sort, std::min

namespace {

// Gun at a wall with a turn, switch, rockets, pause and resume: 200 frames of 10 ms.
const char* const kExerciseScript = "2 mouse down left\n"
                                    "25 mouse move 30 0\n"
                                    "40 mouse up left\n"
                                    "41 key down TAB ; key up TAB\n"
                                    "80 mouse down left\n"
                                    "140 mouse up left\n"
                                    "150 key down SPACE ; key up SPACE\n"
                                    "170 key down SPACE ; key up SPACE\n";

std::filesystem::path DataFolder()
{
    return std::filesystem::path(KORVATH_BINARY_DIR) / "data";
}

std::vector<ZipEntry>::iterator FindEntry(std::vector<ZipEntry>& entries, const std::string& name)
{
    return std::find_if(entries.begin(), entries.end(), [&](const ZipEntry& e) { return e.name == name; });
}

} // namespace

std::vector<std::string> DefaultDataEntryNames()
{
    std::vector<std::string> names;
    std::error_code error;
    if (!std::filesystem::is_directory(DataFolder(), error)) {
        return names;
    }
    for (const auto& file : std::filesystem::recursive_directory_iterator(DataFolder(), error)) {
        const std::string name = std::filesystem::relative(file.path(), DataFolder()).generic_string();
        // The maps (maps/NAME/...) are not part of what a default run reads.
        if (file.is_regular_file() && name.rfind("maps/", 0) != 0) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<ZipEntry> DefaultDataEntries()
{
    std::vector<ZipEntry> entries;
    for (const std::string& name : DefaultDataEntryNames()) {
        entries.push_back({name, ReadFileBytes(DataFolder() / name)});
    }
    return entries;
}

void RemoveEntry(std::vector<ZipEntry>& entries, const std::string& name)
{
    const auto found = FindEntry(entries, name);
    ASSERT_NE(found, entries.end()) << name;
    entries.erase(found);
}

void ReplaceEntry(std::vector<ZipEntry>& entries, const std::string& name, const Bytes& bytes)
{
    const auto found = FindEntry(entries, name);
    ASSERT_NE(found, entries.end()) << name;
    found->bytes = bytes;
}

const Bytes& EntryBytes(const std::vector<ZipEntry>& entries, const std::string& name)
{
    static const Bytes none;
    for (const ZipEntry& entry : entries) {
        if (entry.name == name) {
            return entry.bytes;
        }
    }
    ADD_FAILURE() << "no entry " << name;
    return none;
}

bool FaultResult::SaysOnStderr(const std::string& text) const
{
    return program.err.find(text) != std::string::npos;
}

bool FaultResult::Logs(const std::string& text) const
{
    return log.find(text) != std::string::npos;
}

FaultRun::FaultRun()
{
    run.workingDirectory = directory.Path();
    run.timeLimitSeconds = 120.0; // sanitizer builds are several times slower; a hang still ends the test
    run.setEnvironment["SDL_AUDIODRIVER"] = "dummy";
    archive = DefaultArchive();
    directory.Write("exercise.txt", kExerciseScript); // now: the directory may be made read-only later
}

FaultRun& FaultRun::Archive(const std::filesystem::path& path)
{
    archive = path;
    return *this;
}

FaultRun& FaultRun::Entries(const std::vector<ZipEntry>& entries)
{
    archive = directory.Path() / "data.pck";
    WriteZip(archive.string(), entries);
    return *this;
}

FaultRun& FaultRun::Argument(const std::string& argument)
{
    run.arguments.push_back(argument);
    return *this;
}

FaultRun& FaultRun::Environment(const std::string& name, const std::string& value)
{
    run.setEnvironment[name] = value;
    return *this;
}

FaultRun& FaultRun::WithoutEnvironment(const std::string& name)
{
    run.setEnvironment.erase(name);
    run.unsetEnvironment.push_back(name);
    return *this;
}

FaultRun& FaultRun::OnDisplay()
{
    headless = false;
    return *this;
}

FaultRun& FaultRun::Frames(int count)
{
    frames = count;
    return *this;
}

FaultResult FaultRun::Run() const
{
    ProgramRun configured = run;
    std::vector<std::string> arguments = {"--archive", archive.string(), "--no-dialogs", "--mode", "0",
                                          "--fixed-step", "10", "--frames", std::to_string(frames),
                                          "--script", (directory.Path() / "exercise.txt").string(), "--fast-forward"};
    if (headless) {
        arguments.push_back("--headless");
    }
    arguments.insert(arguments.end(), run.arguments.begin(), run.arguments.end());
    configured.arguments = arguments;
    FaultResult result;
    result.program = configured.Run();
    result.log = ReadWholeFile(directory.Path() / "Korvath.log");
    return result;
}

void ExpectCleanEnd(const FaultResult& result)
{
    EXPECT_FALSE(result.program.timedOut) << "the run hung\n" << result.program.err;
    EXPECT_EQ(result.program.signal, 0) << "the run crashed\n" << result.program.err;
    EXPECT_TRUE(result.program.exitCode == 0 || result.program.exitCode == 1)
        << "exit status " << result.program.exitCode << "\n" << result.program.err;
    if (result.program.exitCode == 1) {
        EXPECT_FALSE(result.program.err.empty()) << "a stop without a word";
    }
    // Sanitizer reports end with their own status; the text makes the reason plain if one slips through.
    EXPECT_EQ(result.program.err.find("Sanitizer"), std::string::npos) << result.program.err;
    EXPECT_EQ(result.program.err.find("runtime error"), std::string::npos) << result.program.err;
}

Bytes SolidBmp(int width, int height, unsigned char shade)
{
    return EncodeBmp(width, height, Bytes(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, shade));
}

Bytes Prefix(const Bytes& bytes, size_t count)
{
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(count, bytes.size())));
}
