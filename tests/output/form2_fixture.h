#pragma once

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QMap>
#include <QPrinter>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

#include "base/log.h"
#include "output/form2.h"
#include "output/gui_printers.h"
#include "platform/gui_message_box.h"
#include "platform/settings_store.h"
#include "support/test_env.h"

// A printer list for the print window whose printers write PDF files into a temporary folder.
class FakePrinters final : public PrinterSource {
 public:
  FakePrinters(QStringList names, QString defaultName)
      : names_(std::move(names)),
        default_(std::move(defaultName)),
        outputDir_(TestEnvironment::newTempDir()) {}

  QStringList printerNames() const override { return names_; }
  QString defaultPrinterName() const override { return default_; }

  std::unique_ptr<QPrinter> openPrinter(const QString& name, QString* reason) const override {
    ++opened;
    if (refused.contains(name)) {
      *reason = refused.value(name);
      return nullptr;
    }
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(
        unwritable.contains(name) ? outputDir_ + QStringLiteral("/missing/x.pdf") : pdfPath(name));
    return printer;
  }

  QString jobError() const override { return jobFailure; }

  QString pdfPath(const QString& name) const {
    return outputDir_ + u'/' + name + QStringLiteral(".pdf");
  }

  // Knobs for the failure tests.
  QMap<QString, QString> refused;  // printer name -> reason openPrinter gives
  QStringList unwritable;          // printers whose document cannot be started
  QString jobFailure;              // what jobError reports
  mutable int opened = 0;

 private:
  QStringList names_;
  QString default_;
  QString outputDir_;
};

// Each test gets a fresh print window over its own fake printers, and records the log lines and
// message boxes that the window produces.
class Form2Test : public testing::Test {
 protected:
  void SetUp() override {
    SaveSetting(QStringLiteral("cfg"), QStringLiteral("printer_selected"), QString());
    setLogListSink([this](const QString& line) { logLines.append(line); });
    setMessageAnswerer([this](const MessageRequest& request) {
      messages.append(request.text);
      return MessageAnswer::Ok;
    });
  }

  void TearDown() override {
    closeWindow();
    setPrinterSource(nullptr);
    setMessageAnswerer({});
    setLogListSink({});
  }

  std::shared_ptr<FakePrinters> installPrinters(const QStringList& names,
                                                const QString& defaultName) {
    auto printers = std::make_shared<FakePrinters>(names, defaultName);
    setPrinterSource(printers);
    return printers;
  }

  static Form2* window() { return Form2::instance(); }

  static QComboBox* combo(const char* name) {
    return window()->findChild<QComboBox*>(QString::fromLatin1(name));
  }

  static void choose(const char* comboName, const QString& text) {
    QComboBox* box = combo(comboName);
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << comboName << " has no entry " << text.toStdString();
    box->setCurrentIndex(index);
  }

  static void press(const char* buttonName) {
    window()->findChild<QPushButton*>(QString::fromLatin1(buttonName))->click();
  }

  // "Cerrar", then lets the deferred deletion happen.
  static void closeWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* form = qobject_cast<Form2*>(widget)) {
        form->close();
      }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  static QString savedPrinter() {
    return GetSetting(QStringLiteral("cfg"), QStringLiteral("printer_selected"),
                      QStringLiteral("<absent>"));
  }

  QStringList logLines;
  QStringList messages;
};

/** A listing window's text list holding entries. */
inline std::unique_ptr<QListWidget> listingOf(const QStringList& entries) {
  auto list = std::make_unique<QListWidget>();
  list->setObjectName(QStringLiteral("List1"));
  list->addItems(entries);
  return list;
}
