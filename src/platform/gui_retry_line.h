#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

/**
 * A line of a window that may say why the catalogue could not be read, with «Reintentar»
 * (cmdReintentar) beside it then; its text is the label named labelName. Hidden until shown.
 */
class RetryLine : public QWidget {
  Q_OBJECT

 public:
  explicit RetryLine(const QString& labelName = QStringLiteral("lblFalloBD"),
                     QWidget* parent = nullptr);

  /** Shows why the catalogue could not be read, with «Reintentar»; empty text hides the line. */
  void showFailure(const QString& text);
  /** Shows text that tells of no failure, without «Reintentar». */
  void showText(const QString& text);
  QString text() const;

 signals:
  void retryRequested();

 private:
  QLabel* text_;
  QPushButton* retry_;
};
