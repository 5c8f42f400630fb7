// Fuzz target: the command line. The input is split at zero bytes into arguments; whatever they are, the
// parser either refuses them with a message or gives options within their documented ranges.
#include "FuzzSupport.h"

#include "shell/XOptions.h"

#include <cmath>   // std::isfinite
#include <cstddef> // size_t
#include <cstdint> // uint8_t
#include <string>
#include <vector>

namespace {

const size_t kMaxArguments = 64;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    PrepareFuzzEnvironment();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> arguments = {"korvath"};
    std::string current;
    for (size_t i = 0; i < size && arguments.size() < kMaxArguments; ++i) {
        if (data[i] == 0) {
            arguments.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    if (!current.empty() && arguments.size() < kMaxArguments) {
        arguments.push_back(current);
    }
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    argv.push_back(nullptr);
    const XOptionsResult result = ParseOptions(static_cast<int>(arguments.size()), argv.data());
    switch (result.action) {
    case XOptionsAction::Error:
        FuzzCheck(!result.error.empty(), "a refusal says why");
        return 0;
    case XOptionsAction::Help:
    case XOptionsAction::Version:
        return 0;
    case XOptionsAction::Run:
        break;
    }
    const XOptions& options = result.options;
    FuzzCheck(result.error.empty(), "no error beside a run");
    FuzzCheck(!options.archive.empty(), "an archive path");
    FuzzCheck(options.frames >= 0, "a frame limit of 0 (none) or more");
    FuzzCheck(options.fixedStep == 0.0 || (std::isfinite(options.fixedStep) && options.fixedStep > 0.0 &&
                                           options.fixedStep <= 10000.0),
              "a fixed step within (0, 10000] ms, or none");
    FuzzCheck(!options.headless || options.noDialogs, "headless implies no dialogs");
    for (const auto& shot : options.screenshots) {
        FuzzCheck(shot.first >= 1 && !shot.second.empty(), "a screenshot has a frame and a file");
    }
    return 0;
}
