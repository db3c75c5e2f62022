#pragma once

#include <QString>
#include <QStringList>

/**
 * Marks a window as loaded under its design name (frm_main, frm_report, ...) for as long as the
 * object lives. Windows hold one as a member, so they join the list when they are created and
 * leave it when they are destroyed.
 */
class LoadedForm {
 public:
  explicit LoadedForm(QString name);
  ~LoadedForm();
  LoadedForm(const LoadedForm&) = delete;
  LoadedForm& operator=(const LoadedForm&) = delete;

  const QString& name() const { return m_name; }

 private:
  QString m_name;
};

/** Design names of the loaded windows, in the order in which they were loaded. */
QStringList loadedFormNames();
