// Demo traces: the committed demos, replayed as timedemos, must give byte for byte the traces recorded before
// the engine's hot paths were optimised (their SHA-256 digests are in tests/e2e/data/demo-traces.sha256).
// Every optimisation of the collision, the frame or the passes has to keep them: a faster engine that walks,
// slides, shoots or pauses differently by one digit fails here.
#include "ProgramRun.h"
#include "Sha256.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

namespace {

// The digests file: "HEX  NAME" lines, '#' comments.
std::map<std::string, std::string> RecordedDigests()
{
    std::map<std::string, std::string> digests;
    std::ifstream file(std::string(KORVATH_SOURCE_DIR) + "/tests/e2e/data/demo-traces.sha256");
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        std::string digest;
        std::string name;
        fields >> digest >> name;
        digests[name] = digest;
    }
    return digests;
}

int CountLines(const std::string& text)
{
    int lines = 0;
    for (const char c : text) {
        lines += c == '\n' ? 1 : 0;
    }
    return lines;
}

// Replays a committed demo as a timedemo and checks its trace against the recorded digest.
void ExpectRecordedTrace(const std::string& demo, int expectedFrames)
{
    const std::map<std::string, std::string> digests = RecordedDigests();
    ASSERT_EQ(digests.count(demo), 1u) << "no digest recorded for " << demo;

    ScratchDirectory directory;
    ProgramRun run;
    run.workingDirectory = directory.Path();
    run.arguments = {"--archive", DefaultArchive(), "--headless", "--timedemo",
                     std::string(KORVATH_SOURCE_DIR) + "/assets/demos/" + demo, "--trace", "trace.jsonl", "--fast-forward"};
    run.setEnvironment["SDL_AUDIODRIVER"] = "dummy";
    run.timeLimitSeconds = 900.0; // a sanitizer build on a busy machine replays far slower than real time
    const ProgramResult result = run.Run();
    ASSERT_EQ(result.exitCode, 0) << result.err;

    const std::string trace = ReadWholeFile(directory.Path() / "trace.jsonl");
    // The frame count first: a replay that stops early or runs on is easier to read as such than as a digest.
    ASSERT_EQ(CountLines(trace), expectedFrames);
    EXPECT_EQ(Sha256Hex(trace), digests.at(demo))
        << demo << " replays to different frames; KORVATH_KEEP_TEST_FILES=1 keeps the trace in "
        << directory.Path().string() << " for a diff against a trace of the previous build";
}

} // namespace

TEST(DemoTraces, Sha256GivesTheStandardDigests)
{
    // The examples of FIPS 180-2, appendix B: one block, two blocks, and the empty message.
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    // 55 and 56 bytes: the last length that fits the padding into one block, and the first that does not.
    EXPECT_NE(Sha256Hex(std::string(55, 'a')), Sha256Hex(std::string(56, 'a')));
    EXPECT_EQ(Sha256Hex(std::string(56, 'a')), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a");
}

TEST(DemoTraces, TheWalkDemoReplaysToTheRecordedTrace)
{
    ExpectRecordedTrace("walk.demo", 2450); // frame 1, the start-up, and the 2449 timed frames
}

TEST(DemoTraces, TheFightDemoReplaysToTheRecordedTrace)
{
    ExpectRecordedTrace("fight.demo", 1406);
}
