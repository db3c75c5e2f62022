#pragma once

#include <QTimer>
#include <QWidget>

#include <memory>

class CataloguePages;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class WebServer;

/**
 * «Compartir el catálogo»: the catalogue served read-only to the browsers of the house while
 * the window is open. Where it listens (only this computer, or one of its network addresses),
 * its key, the ready address as a link and as a QR code for a phone, and the requests answered.
 * The catalogue is first opened on a thread of its own, so a server that does not answer leaves
 * the window answering; the server runs in threads of its own with its own connections;
 * closing the window, or the program, stops it.
 */
class frm_share : public QWidget {
  Q_OBJECT

 public:
  static frm_share* showInstance(QWidget* parent = nullptr);

  explicit frm_share(QWidget* parent = nullptr);
  ~frm_share() override;

  bool isSharing() const;

 private:
  void startSharing();
  void serveChecked(const QString& failure);
  void stopSharing();
  void showState();
  void showServed();
  void fillAddresses();

  QComboBox* m_address;
  QSpinBox* m_port;
  QLineEdit* m_key;
  QPushButton* m_start;
  QPushButton* m_stop;
  QLabel* m_url;
  QLabel* m_qr;
  QLabel* m_served;
  QLabel* m_status;
  QTimer m_tick;
  std::unique_ptr<CataloguePages> m_pages;
  std::unique_ptr<WebServer> m_server;
};
