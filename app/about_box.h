// The about box: the product's title, the maker's three pictures and two
// links, one to the home page and one to the contact mail address. Created
// once, hidden between showings, so a link clicked once stays fuchsia.
// Escape closes it, as it closes every dialog.
#pragma once

#include <QDialog>
#include <span>

#include "app/hyper_link.h"

class QFrame;
class QLabel;

namespace brivano {

// The JPEG files of the three pictures.
struct AboutPictures {
  std::span<const unsigned char> logo;
  std::span<const unsigned char> banner;
  std::span<const unsigned char> barCode;
};

// The pictures built into the program.
AboutPictures ShippedAboutPictures();

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  // Links open through `openUrl`, or through QDesktopServices when it is
  // empty. A picture whose file is damaged leaves its place empty.
  explicit AboutBox(UrlOpener openUrl = {}, QWidget* parent = nullptr,
                    AboutPictures pictures = ShippedAboutPictures());

  QFrame* Background() const { return background_; }
  QLabel* ProgramIcon() const { return programIcon_; }
  QLabel* ProductName() const { return productName_; }
  QLabel* Banner() const { return banner_; }
  QLabel* BarCode() const { return barCode_; }
  HyperLink* HomeLink() const { return homeLink_; }
  HyperLink* ContactLink() const { return contactLink_; }

 private:
  QFrame* background_;
  QLabel* programIcon_;
  QLabel* productName_;
  QLabel* banner_;
  QLabel* barCode_;
  HyperLink* homeLink_;
  HyperLink* contactLink_;
};

}  // namespace brivano
