#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QVBoxLayout;

/**
 * The listing window's notice strip (Notices): what a user should know about the listing shown,
 * one notice per key, below the panes. Each notice stays until the user closes it with its own
 * close button or its key is removed; with no notice the strip is hidden and takes no room.
 */
class NoticeStrip : public QWidget {
  Q_OBJECT

 public:
  explicit NoticeStrip(QWidget* parent = nullptr);

  /** Adds the notice key, or replaces its text where it stands, and shows the strip. */
  void setNotice(const QString& key, const QString& text);
  void removeNotice(const QString& key);
  /**
   * Puts a button named name on notice key, before its close button, that runs clicked; the
   * button goes with its notice.
   */
  void addButton(const QString& key, const QString& name, const QString& text,
                 const std::function<void()>& clicked);
  /** The texts, in the order shown. */
  QStringList notices() const;

  /** The height the strip needs at width, 0 with no notice. */
  int heightFor(int width) const;

 signals:
  /** A notice came, changed or went: the window lays its panes out again. */
  void changed();

 private:
  struct Notice {
    QString key;
    QWidget* row;
    QLabel* label;
  };

  std::vector<Notice>::iterator position(const QString& key);
  Notice addRow(const QString& key);

  QVBoxLayout* layout_;
  std::vector<Notice> notices_;
};
