// Replays the fuzz targets' seed inputs and the inputs that once stopped a fuzzer (tests/fuzz/regressions/
// <target>/, each named after what it found) through the same harness checks, in the ordinary build.
#include "support/FileContents.h"

#include <gtest/gtest.h>

#include <algorithm>  // std::sort
#include <cstddef>    // size_t
#include <cstdint>    // uint8_t
#include <filesystem>
#include <string>
#include <vector>

// The harnesses' libFuzzer entry points, renamed for this program by its CMakeLists.
extern "C" int ReplayInitialize_scene_file(int* argc, char*** argv);
extern "C" int Replay_scene_file(const uint8_t* data, size_t size);
extern "C" int ReplayInitialize_obj(int* argc, char*** argv);
extern "C" int Replay_obj(const uint8_t* data, size_t size);
extern "C" int ReplayInitialize_archive(int* argc, char*** argv);
extern "C" int Replay_archive(const uint8_t* data, size_t size);
extern "C" int ReplayInitialize_picture(int* argc, char*** argv);
extern "C" int Replay_picture(const uint8_t* data, size_t size);
extern "C" int ReplayInitialize_wav(int* argc, char*** argv);
extern "C" int Replay_wav(const uint8_t* data, size_t size);
extern "C" int ReplayInitialize_input_script(int* argc, char*** argv);
extern "C" int Replay_input_script(const uint8_t* data, size_t size);
extern "C" int ReplayInitialize_options(int* argc, char*** argv);
extern "C" int Replay_options(const uint8_t* data, size_t size);

namespace {

using Initialize = int (*)(int*, char***);
using TestOneInput = int (*)(const uint8_t*, size_t);

struct Harness {
    const char* name;
    const char* seedFolder; // below tests/fuzz/corpus
    Initialize initialize;
    TestOneInput testOneInput;
};

const std::vector<Harness>& Harnesses()
{
    static const std::vector<Harness> harnesses = {
        {"scene_file", "scene", ReplayInitialize_scene_file, Replay_scene_file},
        {"obj", "obj", ReplayInitialize_obj, Replay_obj},
        {"archive", "archive", ReplayInitialize_archive, Replay_archive},
        {"picture", "picture", ReplayInitialize_picture, Replay_picture},
        {"wav", "wav", ReplayInitialize_wav, Replay_wav},
        {"input_script", "input_script", ReplayInitialize_input_script, Replay_input_script},
        {"options", "options", ReplayInitialize_options, Replay_options},
    };
    return harnesses;
}

struct ReplayInput {
    size_t harness = 0;
    std::filesystem::path file;
    bool regression = false;
};

void AddFolder(size_t harness, const std::filesystem::path& folder, bool regression, std::vector<ReplayInput>& into)
{
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        return;
    }
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        into.push_back({harness, file, regression});
    }
}

std::vector<ReplayInput> AllInputs()
{
    const std::filesystem::path fuzz = std::filesystem::path(KORVATH_SOURCE_DIR) / "tests" / "fuzz";
    std::vector<ReplayInput> inputs;
    for (size_t h = 0; h < Harnesses().size(); ++h) {
        AddFolder(h, fuzz / "corpus" / Harnesses()[h].seedFolder, false, inputs);
        AddFolder(h, fuzz / "regressions" / Harnesses()[h].name, true, inputs);
    }
    return inputs;
}

std::string TestName(const testing::TestParamInfo<ReplayInput>& info)
{
    std::string name = std::string(Harnesses()[info.param.harness].name) +
                       (info.param.regression ? "_regression_" : "_seed_") + info.param.file.filename().string();
    for (char& c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        c = plain ? c : '_';
    }
    return name;
}

class FuzzReplay : public testing::TestWithParam<ReplayInput> {};

} // namespace

// Each input runs through its harness, whose checks abort the test on any broken promise; the sanitizer
// build adds memory errors and leaks.
TEST_P(FuzzReplay, TheHarnessAcceptsTheInput)
{
    const Harness& harness = Harnesses()[GetParam().harness];
    const Bytes bytes = ReadFileBytes(GetParam().file);
    ASSERT_TRUE(std::filesystem::file_size(GetParam().file) == bytes.size()) << GetParam().file;
    int argc = 0;
    char** argv = nullptr;
    harness.initialize(&argc, &argv);
    const uint8_t none = 0; // libFuzzer never hands over a null pointer, not even for an empty input
    EXPECT_EQ(harness.testOneInput(bytes.empty() ? &none : bytes.data(), bytes.size()), 0);
}

INSTANTIATE_TEST_SUITE_P(Inputs, FuzzReplay, testing::ValuesIn(AllInputs()), TestName);

// Every harness has seed inputs to start from.
TEST(FuzzCorpus, EveryTargetHasSeeds)
{
    std::vector<size_t> counts(Harnesses().size(), 0);
    for (const ReplayInput& input : AllInputs()) {
        counts[input.harness] += input.regression ? 0 : 1;
    }
    for (size_t h = 0; h < Harnesses().size(); ++h) {
        EXPECT_GE(counts[h], 3u) << Harnesses()[h].name;
    }
}
