#pragma once
// File > Recent Maps: the last eight map files loaded or saved, newest
// first, kept between runs; a file gone since is greyed out.

#include <QMenu>
#include <functional>

namespace zem {

class RecentMaps : public QObject {
  public:
    // `open` loads a file chosen from the menu.
    RecentMaps(QMenu* menu, std::function<void(const QString&)> open);
    static void Add(const QString& path);

  private:
    void Fill();
    QMenu* menu_;
    std::function<void(const QString&)> open_;
};

} // namespace zem
