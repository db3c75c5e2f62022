#include "accessories/frm_about.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include "accessories/shell_open.h"
#include "accessories/web_links.h"
#include "base/app_info.h"
#include "platform/gui_image_list.h"
#include "platform/twips.h"

using namespace Qt::StringLiterals;

namespace {

// Client area and control positions, in twips.
constexpr QSize kClientSize(6285, 4290);
constexpr QRect kImage1(45, 45, 2580, 1725);
constexpr QRect kLabel2(3150, 45, 2715, 240);
constexpr QRect kLabel3(3465, 360, 2580, 195);
constexpr QRect kLabel4(2745, 585, 2670, 195);
constexpr QRect kLabel5(3105, 810, 2805, 195);
constexpr QRect kImage2(5715, 1305, 480, 480);
constexpr QRect kLabel1(90, 1845, 6090, 1995);
constexpr QRect kCommand1(5400, 3915, 780, 285);

const QString kCrLf = u"\r\n"_s;

QString creditHeadline() {
  return u"Catálogo de MP3"_s;
}

// What the program does today, kept current as it grows; every line fits Label1.
QString creditText() {
  return QStringList{u"Cataloga colecciones de MP3: recorre un CD o una carpeta,"_s,
                     u"lee sus etiquetas ID3v1 e ID3v2 en la página de códigos"_s,
                     u"elegida, numera carpetas y archivos, y muestra, exporta"_s,
                     u"(txt, html, csv, json), imprime, guarda en PDF y almacena"_s,
                     u"los listados; busca en ellos, encuentra los duplicados y"_s,
                     u"da sus estadísticas con gráficos."_s,
                     u"Sus opciones, en Herramientas > Opciones...; también en la"_s,
                     u"línea de órdenes (quillet --help). Hecho en C++ con Qt."_s}
      .join(kCrLf);
}

QFont verdana(qreal points) {
  QFont font(u"Verdana"_s);
  font.setPointSizeF(points);
  return font;
}

QPixmap picture(const QString& resource, const QRect& twips) {
  return QIcon(resource).pixmap(twipsToPixels(twips).size());
}

}  // namespace

frm_about* frm_about::showInstance() {
  static QPointer<frm_about> instance;
  if (!instance) {
    instance = new frm_about;
  }
  instance->show();
  instance->raise();
  instance->activateWindow();
  return instance;
}

frm_about::frm_about() {
  createWindow();
  createPictures();
  createLinks();
  createTexts();
  createOkButton();
}

bool frm_about::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    openLink(static_cast<QLabel*>(watched));
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void frm_about::createWindow() {
  setObjectName(u"frm_about"_s);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle(VersionText());
  setWindowIcon(imageListIcon(1));
  setFont(verdana(8.25));
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
  setFixedSize(twipsToPixels(kClientSize.width()), twipsToPixels(kClientSize.height()));
  move(screen()->availableGeometry().center() - rect().center());
}

void frm_about::createPictures() {
  addLabel(u"Image1"_s, kImage1, QString())->setPixmap(picture(u":/pictures/logo.svg"_s, kImage1));
  addLabel(u"Image2"_s, kImage2, QString())->setPixmap(imageListIcon(1).pixmap(32, 32));
}

void frm_about::createLinks() {
  addLink(u"Label3"_s, kLabel3, QColor(192, 255, 192), AuthorSiteAddress());
  addLink(u"Label4"_s, kLabel4, QColor(192, 192, 255), MakerSiteAddress());
  m_mailLink = addLink(u"Label5"_s, kLabel5, QColor(255, 192, 192), AuthorMailLink());
}

void frm_about::createTexts() {
  QLabel* headline = addLabel(u"Label2"_s, kLabel2, creditHeadline());
  QFont bold = verdana(9.75);
  bold.setBold(true);
  headline->setFont(bold);

  QLabel* credits = addLabel(u"Label1"_s, kLabel1, VersionText() + kCrLf + kCrLf + creditText());
  credits->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  credits->setStyleSheet(u"background-color: rgb(224, 224, 224);"_s);
}

void frm_about::createOkButton() {
  auto* ok = new QPushButton(u"ok!"_s, this);
  ok->setObjectName(u"Command1"_s);
  ok->setGeometry(twipsToPixels(kCommand1));
  connect(ok, &QPushButton::clicked, this, &QWidget::close);
}

QLabel* frm_about::addLabel(const QString& name, const QRect& twips, const QString& text) {
  auto* label = new QLabel(text, this);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(twipsToPixels(twips));
  return label;
}

QLabel* frm_about::addLink(const QString& name, const QRect& twips, const QColor& background,
                           const QString& address) {
  QLabel* link = addLabel(name, twips, address);
  link->setStyleSheet(u"background-color: %1;"_s.arg(background.name()));
  link->setCursor(QCursor(QIcon(u":/pictures/link_pointer.svg"_s).pixmap(16, 16), 7, 1));
  link->installEventFilter(this);
  return link;
}

void frm_about::openLink(const QLabel* label) const {
  ShellOpen(label == m_mailLink ? MailLinkWithSubject(label->text()) : label->text());
}
