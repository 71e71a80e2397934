#pragma once
// What every harness shares: the input as a read-only device, and a check
// that stops the run with the broken invariant named.

#include <QBuffer>
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", #cond, __FILE__, __LINE__);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace zem::fuzz {

// The fuzzer's bytes without a copy, open for reading.
class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size)
        : bytes_(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size))),
          buf_(&bytes_) {
        buf_.open(QIODevice::ReadOnly);
    }
    QBuffer& Device() { return buf_; }
    const QByteArray& Bytes() const { return bytes_; }

  private:
    QByteArray bytes_;
    QBuffer buf_;
};

// A message names the file it is about.
inline bool Names(const QString& message, const QString& name) {
    return message.startsWith(name + QStringLiteral(": ")) ||
           message.contains(QStringLiteral("\"") + name + QStringLiteral("\""));
}

} // namespace zem::fuzz

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
