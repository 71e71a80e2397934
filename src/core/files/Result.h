#pragma once
// How readers and writers report: a value, or one message naming the file
// and what is wrong with it ("maps/x.zep: the file ends before ...").
// `Unopened` marks a file that could not be opened at all, which some
// commands pass over without a word.

#include <QString>
#include <optional>
#include <utility>

namespace zem {

struct Failure {
    QString message;
    bool unopened = false;
};

template <class T> class [[nodiscard]] Result {
  public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure f) : failure_(std::move(f)) {}

    bool Ok() const { return value_.has_value(); }
    explicit operator bool() const { return Ok(); }
    T& Value() { return *value_; }
    const T& Value() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    const QString& Message() const { return failure_.message; }
    bool Unopened() const { return failure_.unopened; }
    const Failure& Fault() const { return failure_; }

  private:
    std::optional<T> value_;
    Failure failure_;
};

// A writer's result: nothing, or the failure.
class [[nodiscard]] Status {
  public:
    Status() = default;
    Status(Failure f) : failure_(std::move(f)), ok_(false) {}
    bool Ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const QString& Message() const { return failure_.message; }
    bool Unopened() const { return failure_.unopened; }
    const Failure& Fault() const { return failure_; }

  private:
    Failure failure_;
    bool ok_ = true;
};

// "PATH: fault"
inline Failure FileFault(const QString& path, const QString& fault, bool unopened = false) {
    return {path + QStringLiteral(": ") + fault, unopened};
}

} // namespace zem
