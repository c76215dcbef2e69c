#include "app/about_box.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>

#include "app/jpeg_picture.h"
#include "app/pictures.h"
#include "app/program_addresses.h"
#include "app/user_dialogs.h"
#include "resources/about_pictures.h"

namespace brivano {
namespace {

constexpr int kClientWidth = 364;
constexpr int kClientHeight = 230;

const QString kContactLine = QStringLiteral("联系我们：support@brivano.example");

// A picture at `rect` within the panel. With `sizedToPicture` the control
// takes the picture's size; a picture that does not decode leaves the
// control empty at the size it was given.
QLabel* Picture(QWidget* parent, const QRect& rect, std::span<const unsigned char> jpeg,
                bool sizedToPicture, Qt::Alignment alignment) {
  auto* label = new QLabel(parent);
  label->setGeometry(rect);
  label->setAlignment(alignment);
  const QImage image = DecodeJpeg(jpeg);
  if (!image.isNull()) {
    label->setPixmap(QPixmap::fromImage(image));
    if (sizedToPicture) label->resize(image.size());
  }
  return label;
}

}  // namespace

AboutPictures ShippedAboutPictures() {
  return {AboutLogoJpeg(), AboutBannerJpeg(), AboutBarCodeJpeg()};
}

AboutBox::AboutBox(UrlOpener openUrl, QWidget* parent, AboutPictures pictures)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint) {
  setWindowTitle(QStringLiteral("关于本软件"));
  setWindowIcon(brivano::ProgramIcon());
  QFont boxFont(QStringLiteral("MS Sans Serif"), 8);
  boxFont.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                       QStringLiteral("DejaVu Sans"), QStringLiteral("WenQuanYi Zen Hei")});
  setFont(boxFont);
  setFixedSize(kClientWidth, kClientHeight);

  // Raised inner and lowered outer bevel, in the window's colour.
  background_ = new QFrame(this);
  background_->setFrameShape(QFrame::Panel);
  background_->setFrameShadow(QFrame::Raised);
  background_->setLineWidth(1);
  background_->setMidLineWidth(1);
  auto* fill = new QVBoxLayout(this);
  fill->setContentsMargins(0, 0, 0, 0);
  fill->addWidget(background_);

  // A JPEG picture has no transparent pixels: the logo brings its own
  // background in the window's grey.
  programIcon_ =
      Picture(background_, QRect(20, 8, 66, 46), pictures.logo, true, Qt::AlignLeft | Qt::AlignTop);

  productName_ = new QLabel(ApplicationTitle(), background_);
  QFont titleFont(QStringLiteral("SimSun"), 9, QFont::Bold);
  titleFont.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"),
                         QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC")});
  productName_->setFont(titleFont);
  QPalette blue = productName_->palette();
  blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
  productName_->setPalette(blue);
  productName_->move(104, 16);
  productName_->adjustSize();

  banner_ = Picture(background_, QRect(20, 72, 188, 18), pictures.banner, true, Qt::AlignCenter);
  barCode_ = Picture(background_, QRect(256, 72, 105, 105), pictures.barCode, false,
                     Qt::AlignLeft | Qt::AlignTop);

  homeLink_ = new HyperLink(background_, openUrl);
  homeLink_->setGeometry(16, 104, 181, 15);
  homeLink_->SetCaption(kHomePage);
  homeLink_->SetURL(kHomePage);
  contactLink_ = new HyperLink(background_, openUrl);
  contactLink_->setGeometry(16, 130, 207, 15);
  contactLink_->SetCaption(kContactLine);
  contactLink_->SetURL(kContactMail);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

}  // namespace brivano
