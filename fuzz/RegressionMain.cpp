// Runs files through a fuzz harness, as the fuzzer's own binary would run a
// corpus: every input must finish within a second (ZEM_FUZZ_SECONDS if set)
// without a sanitizer report. Arguments are files or folders of them.

#include "FuzzSupport.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/time.h>
#include <unistd.h>
#include <vector>

namespace {

std::string current;

void OnAlarm(int) {
    const char head[] = "hang: over 1 s on ";
    (void)!::write(2, head, sizeof head - 1);
    (void)!::write(2, current.data(), current.size());
    (void)!::write(2, "\n", 1);
    ::_exit(1);
}

void Arm(int seconds) {
    itimerval t{};
    t.it_value.tv_sec = seconds;
    ::setitimer(ITIMER_REAL, &t, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    LLVMFuzzerInitialize(&argc, &argv);
    // A harness whose every run is a whole import gets longer.
    const int seconds = std::max(1, qEnvironmentVariableIntValue("ZEM_FUZZ_SECONDS"));
    std::signal(SIGALRM, OnAlarm);
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path p(argv[i]);
        if (std::filesystem::is_directory(p)) {
            for (const auto& e : std::filesystem::directory_iterator(p))
                if (e.is_regular_file()) files.push_back(e.path());
        } else if (std::filesystem::exists(p)) {
            files.push_back(p);
        }
    }
    std::sort(files.begin(), files.end());
    double slowest = 0;
    for (const auto& f : files) {
        std::ifstream in(f, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
        current = f.string();
        const auto start = std::chrono::steady_clock::now();
        Arm(seconds);
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        Arm(0);
        slowest = std::max(
            slowest,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("%zu inputs, slowest %.3f s\n", files.size(), slowest);
    return files.empty() ? 1 : 0;
}
