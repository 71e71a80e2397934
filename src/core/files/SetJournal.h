#pragma once
// A set of files replaced together survives a crash. While a set is renamed
// into place, a journal in each of its folders names every file of the set
// there, the temporary file holding its new content and the hidden hard
// link keeping its old content, so that every name holds its old or its new
// content at every instant. A commit a killed run left is put right by the
// next writer into the folder, or a reader opening a file there: when every
// new file arrived the commit is finished, otherwise the old files go back;
// either way every hidden file of it goes.

#include <QString>
#include <vector>

namespace zem {

// A file of a set within one folder, by names in that folder. `backup` is
// empty when there was no old file.
struct JournalEntry {
    QString name, temp, backup;
};

// One folder's part of a commit: its lock, held while the commit lasts, so
// that no other writer or reader takes a live commit for a killed one.
class FolderCommit {
  public:
    explicit FolderCommit(const QString& folder);
    FolderCommit(const FolderCommit&) = delete;
    FolderCommit& operator=(const FolderCommit&) = delete;
    ~FolderCommit();

    // Takes the folder's lock, waiting a little for another commit, puts
    // right what a killed one left there and writes the journal. Empty, or
    // the fault.
    QString Begin(const std::vector<JournalEntry>& entries);
    // The new files are all in place: removes the old ones and the journal.
    void Finish();
    // Puts every old file back and removes every hidden file; where that
    // fails, the journal stays for the next writer or reader.
    void Undo();

  private:
    QString folder_;
    int lock_ = -1;
    std::vector<JournalEntry> entries_;
};

// Finishes or undoes a commit a killed run left in `folder`; nothing when
// none was left, or a live one holds the folder.
void RecoverFileSets(const QString& folder);
// The same for the folder of the file `file` names, through its links: a
// reader calls it before it opens the file.
void RecoverFileSetsBeside(const QString& file);

} // namespace zem
