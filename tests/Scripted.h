#pragma once
// Test doubles: dialogs answered from a script, random numbers given in
// advance.

#include "runtime/DialogService.h"
#include "runtime/Random.h"

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

    // The answers to the save questions, in order; Discard when none is left.
    void AnswerSave(SaveAnswer a) { saveAnswers_.push_back(a); }
    SaveAnswer AskSave(const QString& text) override {
        questions.push_back(text);
        if (saveAnswers_.empty()) return SaveAnswer::Discard;
        const SaveAnswer a = saveAnswers_.front();
        saveAnswers_.pop_front();
        return a;
    }

    // The answers to yes-or-no questions, in order; No when none is left.
    void AnswerConfirm(bool yes) { confirmAnswers_.push_back(yes); }
    bool Confirm(const QString& text) override {
        questions.push_back(text);
        const bool a = !confirmAnswers_.empty() && confirmAnswers_.front();
        if (!confirmAnswers_.empty()) confirmAnswers_.pop_front();
        return a;
    }

    // The answers to export target questions, in order; cancelled when
    // none is left. The targets offered are recorded.
    void AnswerExportTarget(ExportTarget t) { targets_.push_back(t); }
    bool ChooseExportTarget(ExportTarget& t) override {
        offered.push_back(t);
        if (targets_.empty()) return false;
        t = targets_.front();
        targets_.pop_front();
        return true;
    }

    std::vector<OpenDialog> dialogs; // as each was run
    std::vector<ExportTarget> offered;
    std::vector<QString> questions;
    std::vector<std::pair<QString, QString>> messages; // text, title

  private:
    std::deque<std::optional<QString>> answers_;
    std::deque<SaveAnswer> saveAnswers_;
    std::deque<bool> confirmAnswers_;
    std::deque<ExportTarget> targets_;
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
