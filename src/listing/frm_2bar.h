#pragma once

#include <QWidget>

#include "base/loaded_forms.h"
#include "db/listing_store.h"

class QLabel;
class QProgressBar;

/** The borderless progress window of a store: the whole process and the current step. */
class frm_2bar : public QWidget {
  Q_OBJECT

 public:
  explicit frm_2bar(QWidget* parent = nullptr);

  void showProgress(const StoreProgress& progress);

 private:
  QLabel* addLabel(const char* name, int topTwips);
  QProgressBar* addBar(const char* name, int topTwips);

  LoadedForm loaded_{QStringLiteral("frm_2bar")};
  QLabel* label2_;
  QProgressBar* progressBar1_;
  QProgressBar* progressBar2_;
};
