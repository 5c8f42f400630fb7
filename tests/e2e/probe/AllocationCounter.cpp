// AllocationCounter: the part of the allocation probe that is not the game. The probe is the korvath program
// built once more with this file added; it takes over the C library's allocation entry points (operator new
// reaches them too), counts every heap allocation of the process by the loop pass it happens in, and when the
// program ends writes the counts to the file named by the environment variable KORVATH_ALLOCATION_REPORT.
// Without that variable it counts nothing and the probe is the plain program.
//
// The OpenGL driver, SDL and the mixer allocate inside their own calls, which is none of the engine's doing. So
// every allocation is attributed by its call stack: the nearest caller outside the C and C++ runtimes (libc,
// libstdc++, libgcc, libm, the loader) decides. In the program's own code it counts as "own" (a std::vector
// growing in a pass, an fopen of ours); in any other library (Mesa, SDL, ...) as "foreign"; a stack that
// cannot be followed out of the runtimes counts as "unknown". The first few call stacks of own allocations
// after the first pass are written too, as symbol lines, for the developer who has to find them.
//
// A pass counts from the loop's taking its number until the next one does; the last pass therefore also holds
// what the program does after its loop (the timedemo's summary, for one), which the test's runs leave out.
//
// The report, one line per pass from 0 (before the loop) to the last, then the stacks:
//   pass N own A foreign B unknown C
//   stack N          (the pass of the allocation, followed by its frames, innermost first)
#include "shell/XWindow.h"

#include <atomic>
#include <cerrno> // EINVAL, ENOMEM
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <execinfo.h> // backtrace, backtrace_symbols_fd
#include <fcntl.h>    // open
#include <link.h>     // dl_iterate_phdr
#include <unistd.h>   // write, close

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);

// The program's own code, as the linker lays it out.
extern const char __executable_start;
extern const char etext;
}

namespace {

constexpr int kMaxPasses = 1 << 14;  // passes beyond are counted in the last one
constexpr int kStackDepth = 24;
constexpr int kMaxStacks = 256;
constexpr int kStacksPerPass = 4;
constexpr int kCounterFrames = 2;    // Count and the entry point that called it

enum class Origin { Own, Foreign, Unknown };

struct AddressRange {
    uintptr_t begin = 0;
    uintptr_t end = 0;

    bool Contains(uintptr_t address) const { return address >= begin && address < end; }
};

struct Stack {
    int pass = 0;
    int depth = 0;
    void* frames[kStackDepth] = {};
};

// Everything below is constant-initialised: allocations made before it is set up must find it valid.
std::atomic<bool> armed{false};
const XWindow* window = nullptr;
AddressRange ownCode;
AddressRange runtimes[8];
int runtimeCount = 0;
std::atomic<uint32_t> ownCounts[kMaxPasses];
std::atomic<uint32_t> foreignCounts[kMaxPasses];
std::atomic<uint32_t> unknownCounts[kMaxPasses];
std::atomic<int> lastPass{0};
Stack stacks[kMaxStacks];
std::atomic<int> stackCount{0};
std::atomic<uint8_t> stacksOfPass[kMaxPasses];
thread_local bool insideCount = false;

bool IsRuntime(uintptr_t address)
{
    for (int i = 0; i < runtimeCount; ++i) {
        if (runtimes[i].Contains(address)) {
            return true;
        }
    }
    return false;
}

Origin OriginOf(void* const* frames, int depth)
{
    for (int i = kCounterFrames; i < depth; ++i) {
        const uintptr_t address = reinterpret_cast<uintptr_t>(frames[i]);
        if (IsRuntime(address)) {
            continue;
        }
        return ownCode.Contains(address) ? Origin::Own : Origin::Foreign;
    }
    return Origin::Unknown;
}

void KeepStack(int pass, void* const* frames, int depth)
{
    if (pass < 2 || stacksOfPass[pass].fetch_add(1) >= kStacksPerPass) {
        return;
    }
    const int slot = stackCount.fetch_add(1);
    if (slot >= kMaxStacks) {
        return;
    }
    stacks[slot].pass = pass;
    stacks[slot].depth = depth;
    std::memcpy(stacks[slot].frames, frames, sizeof(void*) * static_cast<size_t>(depth));
}

// Counts one allocation of the pass running now. Kept out of line: its frame and its caller's are the two
// that the attribution skips.
__attribute__((noinline)) void Count()
{
    if (!armed.load(std::memory_order_relaxed) || insideCount) {
        return;
    }
    insideCount = true;
    int pass = window->FrameNumber();
    pass = pass < 0 ? 0 : (pass >= kMaxPasses ? kMaxPasses - 1 : pass);
    void* frames[kStackDepth];
    const int depth = backtrace(frames, kStackDepth);
    switch (OriginOf(frames, depth)) {
    case Origin::Own:
        ownCounts[pass].fetch_add(1, std::memory_order_relaxed);
        KeepStack(pass, frames, depth);
        break;
    case Origin::Foreign:
        foreignCounts[pass].fetch_add(1, std::memory_order_relaxed);
        break;
    case Origin::Unknown:
        unknownCounts[pass].fetch_add(1, std::memory_order_relaxed);
        break;
    }
    int seen = lastPass.load(std::memory_order_relaxed);
    while (pass > seen && !lastPass.compare_exchange_weak(seen, pass)) {
    }
    insideCount = false;
}

bool NameEndsLibrary(const char* name, const char* library)
{
    const char* const found = std::strstr(name, library);
    return found != nullptr && (found == name || found[-1] == '/');
}

int NoteRuntime(dl_phdr_info* info, size_t, void*)
{
    static const char* const kRuntimes[] = {"libc.so", "libstdc++.so", "libgcc_s.so", "libm.so", "ld-linux"};
    const char* const name = info->dlpi_name != nullptr ? info->dlpi_name : "";
    bool runtime = false;
    for (const char* const library : kRuntimes) {
        runtime = runtime || NameEndsLibrary(name, library);
    }
    if (!runtime || runtimeCount == static_cast<int>(sizeof(runtimes) / sizeof(runtimes[0]))) {
        return 0;
    }
    AddressRange range{UINTPTR_MAX, 0};
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type == PT_LOAD) {
            const uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
            range.begin = begin < range.begin ? begin : range.begin;
            range.end = begin + segment.p_memsz > range.end ? begin + segment.p_memsz : range.end;
        }
    }
    runtimes[runtimeCount++] = range;
    return 0;
}

void WriteText(int fd, const char* text)
{
    const size_t length = std::strlen(text);
    if (write(fd, text, length) != static_cast<ssize_t>(length)) {
        std::fprintf(stderr, "korvath allocation probe: the report could not be written in full\n");
    }
}

// Writes the report once the program is done; nothing is counted from here on.
void WriteReport()
{
    armed = false;
    const char* const path = std::getenv("KORVATH_ALLOCATION_REPORT");
    const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        std::fprintf(stderr, "korvath allocation probe: cannot write '%s'\n", path);
        return;
    }
    char line[128];
    for (int pass = 0; pass <= lastPass.load(); ++pass) {
        std::snprintf(line, sizeof(line), "pass %d own %u foreign %u unknown %u\n", pass,
                      static_cast<unsigned>(ownCounts[pass].load()), static_cast<unsigned>(foreignCounts[pass].load()),
                      static_cast<unsigned>(unknownCounts[pass].load()));
        WriteText(fd, line);
    }
    const int kept = stackCount.load() < kMaxStacks ? stackCount.load() : kMaxStacks;
    for (int i = 0; i < kept; ++i) {
        std::snprintf(line, sizeof(line), "stack %d\n", stacks[i].pass);
        WriteText(fd, line);
        backtrace_symbols_fd(stacks[i].frames + kCounterFrames, stacks[i].depth - kCounterFrames, fd);
    }
    close(fd);
}

// Sets the counting up before main runs, when the report is asked for.
struct CounterSetUp {
    CounterSetUp()
    {
        if (std::getenv("KORVATH_ALLOCATION_REPORT") == nullptr) {
            return;
        }
        void* first[4];
        backtrace(first, 4); // its first call loads the unwinder, which allocates
        ownCode = {reinterpret_cast<uintptr_t>(&__executable_start), reinterpret_cast<uintptr_t>(&etext)};
        dl_iterate_phdr(NoteRuntime, nullptr);
        window = GetWindow();
        std::atexit(WriteReport);
        armed = true;
    }
};

const CounterSetUp setUp;

} // namespace

extern "C" {

void* malloc(size_t size) noexcept
{
    Count();
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) noexcept
{
    Count();
    return __libc_calloc(count, size);
}

void* realloc(void* pointer, size_t size) noexcept
{
    Count();
    return __libc_realloc(pointer, size);
}

void* memalign(size_t alignment, size_t size) noexcept
{
    Count();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) noexcept
{
    Count();
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** result, size_t alignment, size_t size) noexcept
{
    Count();
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) {
        return EINVAL;
    }
    void* const pointer = __libc_memalign(alignment, size);
    if (pointer == nullptr && size != 0) {
        return ENOMEM;
    }
    *result = pointer;
    return 0;
}

} // extern "C"
