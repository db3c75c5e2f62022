#include "web/frm_share.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkInterface>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>

#include "platform/gui_window_placement.h"
#include "web/catalogue_pages.h"
#include "web/qr_code.h"
#include "web/web_server.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kModulePixels = 5;
constexpr int kQuietModules = 4;

// The code as a phone's camera wants it: black on white inside a white border.
QPixmap qrPixmap(const QString& text) {
  const QrCode qr = qrCodeOf(text.toUtf8());
  const int side = qr.width + 2 * kQuietModules;
  QImage image(side, side, QImage::Format_Mono);
  image.setColor(0, qRgb(255, 255, 255));
  image.setColor(1, qRgb(0, 0, 0));
  image.fill(0);
  for (int y = 0; y < qr.width; ++y) {
    for (int x = 0; x < qr.width; ++x) {
      if (qr.isDark(x, y)) {
        image.setPixel(x + kQuietModules, y + kQuietModules, 1);
      }
    }
  }
  return QPixmap::fromImage(image.scaled(side * kModulePixels, side * kModulePixels));
}

// The addresses a browser of the house can reach: the machine's own on the network, not the
// link-local ones that need an interface's name in the address.
QList<QHostAddress> networkAddresses() {
  QList<QHostAddress> addresses;
  for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
    const auto flags = interface.flags();
    if (!flags.testFlag(QNetworkInterface::IsUp) || flags.testFlag(QNetworkInterface::IsLoopBack)) {
      continue;
    }
    for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
      if (!entry.ip().isLinkLocal() && !entry.ip().isLoopback()) {
        addresses.append(entry.ip());
      }
    }
  }
  return addresses;
}

}  // namespace

frm_share* frm_share::showInstance(QWidget* parent) {
  static QPointer<frm_share> instance;
  if (!instance) {
    instance = new frm_share(parent);
    instance->adjustSize();
    centreOverWindow(instance, parent);
  }
  instance->show();
  instance->raise();
  instance->activateWindow();
  return instance;
}

frm_share::frm_share(QWidget* parent)
    : QWidget(parent, Qt::Dialog),
      m_address(new QComboBox(this)),
      m_port(new QSpinBox(this)),
      m_key(new QLineEdit(this)),
      m_start(new QPushButton(u"Compartir"_s, this)),
      m_stop(new QPushButton(u"Dejar de compartir"_s, this)),
      m_url(new QLabel(this)),
      m_qr(new QLabel(this)),
      m_served(new QLabel(this)),
      m_status(new QLabel(this)) {
  setObjectName(u"frm_share"_s);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(u"Compartir el catálogo"_s);
  m_address->setObjectName(u"cboDireccion"_s);
  m_port->setObjectName(u"txtPuerto"_s);
  m_key->setObjectName(u"txtClave"_s);
  m_start->setObjectName(u"cmdCompartir"_s);
  m_stop->setObjectName(u"cmdDejar"_s);
  m_url->setObjectName(u"lblDireccion"_s);
  m_qr->setObjectName(u"imgQR"_s);
  m_served->setObjectName(u"lblPeticiones"_s);
  m_status->setObjectName(u"lblEstado"_s);
  m_start->setToolTip(u"Sirve el catálogo, sólo para leer, en la dirección elegida"_s);
  m_stop->setToolTip(u"Deja de servir el catálogo"_s);
  fillAddresses();
  // 0 lets the system choose a free port.
  m_port->setRange(0, 65535);
  m_port->setValue(WebServerOptions{}.port);
  m_key->setPlaceholderText(u"se hace una al azar si hace falta"_s);
  m_url->setTextInteractionFlags(Qt::TextBrowserInteraction);
  m_url->setOpenExternalLinks(true);
  m_status->setWordWrap(true);

  auto* form = new QFormLayout;
  form->addRow(u"Dirección:"_s, m_address);
  form->addRow(u"Puerto:"_s, m_port);
  form->addRow(u"Clave:"_s, m_key);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_start);
  buttons->addWidget(m_stop);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
  layout->addWidget(m_status);
  layout->addWidget(m_url);
  layout->addWidget(m_qr, 0, Qt::AlignHCenter);
  layout->addWidget(m_served);

  connect(m_start, &QPushButton::clicked, this, &frm_share::startSharing);
  connect(m_stop, &QPushButton::clicked, this, &frm_share::stopSharing);
  connect(&m_tick, &QTimer::timeout, this, &frm_share::showServed);
  showState();
}

frm_share::~frm_share() {
  stopSharing();
}

bool frm_share::isSharing() const {
  return m_server != nullptr;
}

void frm_share::fillAddresses() {
  m_address->addItem(u"Sólo este ordenador (127.0.0.1)"_s,
                     QHostAddress(QHostAddress::LocalHost).toString());
  for (const QHostAddress& address : networkAddresses()) {
    m_address->addItem(u"La red de casa (%1)"_s.arg(address.toString()), address.toString());
  }
}

// The check's thread outlives a window closed meanwhile: its answer then goes nowhere.
void frm_share::startSharing() {
  m_start->setEnabled(false);
  m_status->setText(u"Abriendo el catálogo..."_s);
  QThread* check = QThread::create([window = QPointer(this)] {
    const QString failure = CataloguePages::readFailure();
    QMetaObject::invokeMethod(qApp, [window, failure] {
      if (window) {
        window->serveChecked(failure);
      }
    });
  });
  connect(check, &QThread::finished, check, &QObject::deleteLater);
  check->start();
}

void frm_share::serveChecked(const QString& failure) {
  if (!failure.isEmpty()) {
    m_status->setText(u"No se puede leer el catálogo: "_s + failure);
    showState();
    return;
  }
  m_pages = std::make_unique<CataloguePages>(CataloguePages::Checked{});
  WebServerOptions options;
  options.address = QHostAddress(m_address->currentData().toString());
  options.port = static_cast<quint16>(m_port->value());
  options.key = m_key->text().trimmed();
  const CataloguePages* pages = m_pages.get();
  m_server = std::make_unique<WebServer>(
      options, [pages](const WebRequest& request) { return pages->answer(request); });
  QString error;
  if (!m_server->start(error)) {
    m_server.reset();
    m_pages.reset();
    m_status->setText(error);
    showState();
    return;
  }
  m_key->setText(m_server->key());
  m_status->setText(
      u"Compartiendo el catálogo, sólo para leer, mientras esta ventana esté abierta"_s);
  m_tick.start(1000);
  showState();
}

void frm_share::stopSharing() {
  m_tick.stop();
  if (m_server) {
    // The server's threads end before the pages and their connections go.
    m_server->stop();
    m_server.reset();
    m_pages.reset();
    m_status->setText(u"No se comparte el catálogo"_s);
  }
  showState();
}

void frm_share::showState() {
  const bool sharing = isSharing();
  m_address->setEnabled(!sharing);
  m_port->setEnabled(!sharing);
  m_key->setReadOnly(sharing);
  m_start->setEnabled(!sharing);
  m_stop->setEnabled(sharing);
  m_url->setVisible(sharing);
  m_qr->setVisible(sharing);
  m_served->setVisible(sharing);
  if (sharing) {
    const QString url = m_server->url();
    m_url->setText(u"<a href=\"%1\">%2</a>"_s.arg(url.toHtmlEscaped(), url.toHtmlEscaped()));
    m_qr->setPixmap(qrPixmap(url));
    showServed();
  }
}

void frm_share::showServed() {
  if (m_server) {
    m_served->setText(u"Peticiones atendidas: %1"_s.arg(m_server->requestsServed()));
  }
}
