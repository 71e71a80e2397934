#pragma once
// Test doubles: dialogs answered from a script, random numbers given in
// advance.

#include "ui/DialogService.h"
#include "ui/Random.h"

#include <deque>
#include <optional>
#include <utility>
#include <vector>

namespace zem {

// Answers file dialogs from a script and records everything shown.
class ScriptedDialogs : public DialogService {
  public:
    void Answer(const QString& fileName) { answers_.push_back(fileName); }
    void Cancel() { answers_.push_back(std::nullopt); }

    bool Execute(OpenDialog& d) override;
    void MessageBox(const QString& text, const QString& title) override {
        messages.emplace_back(text, title);
    }

    std::vector<OpenDialog> dialogs;                   // as each was run
    std::vector<std::pair<QString, QString>> messages; // text, title

  private:
    std::deque<std::optional<QString>> answers_;
};

// Answers with the given numbers in order, then with 0.
class ScriptedRandom : public Random {
  public:
    ScriptedRandom(std::initializer_list<int> draws) : draws_(draws) {}
    void Push(int n) { draws_.push_back(n); }
    int Next() override;
    int Taken() const { return taken_; }
    bool Empty() const { return draws_.empty(); }

  private:
    std::deque<int> draws_;
    int taken_ = 0;
};

} // namespace zem
