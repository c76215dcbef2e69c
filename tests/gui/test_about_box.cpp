// The about box and its links: layout, pictures, the link's colours and
// self-sizing, opening on the press, and a click remembered for as long as
// the box lives.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <ostream>
#include <set>

#include "app/about_box.h"
#include "app/hyper_link.h"
#include "testing/gui/qt_application.h"

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace brivano {
namespace {

using testing::EnsureQtApplication;

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kFuchsia(255, 0, 255);
const QString kHomePage = QStringLiteral("https://brivano.example/");

class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* watched) { watched->installEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++count;
    return false;
  }
};

// Lets every pending paint and resize happen.
void Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
}

void Enter(QWidget* widget) {
  QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)));
  QCoreApplication::sendEvent(widget, &enter);
}
void Leave(QWidget* widget) {
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(widget, &leave);
}

// The pure link colours that the painted link shows.
std::set<QRgb> DrawnLinkColours(QWidget* link) {
  const QImage image = link->grab().toImage().convertToFormat(QImage::Format_RGB32);
  std::set<QRgb> found;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y) | 0xFF000000u;
      for (const QColor& colour : {kBlue, kRed, kFuchsia}) {
        if (pixel == colour.rgb()) found.insert(pixel);
      }
    }
  }
  return found;
}

class AboutBoxTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureQtApplication(); }

  // A shown window holding one link at (10, 10), stored as 181 x 15.
  struct ShownLink {
    QWidget host;
    HyperLink* link;
    QStringList opened;
    explicit ShownLink() {
      host.resize(400, 100);
      link = new HyperLink(&host, [this](const QString& url) { opened << url; });
      link->setGeometry(10, 10, 181, 15);
      host.show();
      EXPECT_TRUE(QTest::qWaitForWindowExposed(&host));
      Settle();
    }
  };
};

TEST_F(AboutBoxTest, LinkDefaults) {
  QWidget host;
  HyperLink link(&host);
  EXPECT_EQ(link.URL(), kHomePage);
  EXPECT_EQ(link.Caption(), kHomePage);
  EXPECT_EQ(link.size(), QSize(100, 10));  // not painted yet
  EXPECT_TRUE(link.DrawingFont().bold());
  EXPECT_TRUE(link.DrawingFont().underline());
  EXPECT_EQ(link.LinkColor(), kBlue);
  EXPECT_EQ(link.FontColor(), kBlue);
  EXPECT_EQ(link.Color(), host.palette().color(QPalette::Button));
  EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
}

// Each setter ignores its current value (compared exactly, letter case
// included); a new value repaints at once, except for URL.
TEST_F(AboutBoxTest, SettersRepaintOnlyForANewValue) {
  struct Case {
    const char* name;
    std::function<void(HyperLink&)> setCurrent;
    std::function<void(HyperLink&)> setNew;
    std::function<bool(const HyperLink&)> holdsNew;
    bool repaints;
  };
  const Case cases[] = {
      {"URL", [](HyperLink& l) { l.SetURL(kHomePage); },
       [](HyperLink& l) { l.SetURL(QStringLiteral("HTTPS://brivano.example/")); },
       [](const HyperLink& l) { return l.URL() == QStringLiteral("HTTPS://brivano.example/"); },
       false},
      {"Caption", [](HyperLink& l) { l.SetCaption(kHomePage); },
       [](HyperLink& l) { l.SetCaption(QStringLiteral("https://Brivano.example/")); },
       [](const HyperLink& l) { return l.Caption() == QStringLiteral("https://Brivano.example/"); },
       true},
      {"FontName", [](HyperLink& l) { l.SetFontName(l.FontName()); },
       [](HyperLink& l) { l.SetFontName(QStringLiteral("DejaVu Serif")); },
       [](const HyperLink& l) {
         return l.FontName() == QStringLiteral("DejaVu Serif") && l.DrawingFont().bold() &&
                l.DrawingFont().underline();
       },
       true},
      {"Color", [](HyperLink& l) { l.SetColor(l.Color()); },
       [](HyperLink& l) { l.SetColor(QColor(255, 255, 200)); },
       [](const HyperLink& l) { return l.Color() == QColor(255, 255, 200); }, true},
  };
  for (const Case& c : cases) {
    ShownLink shown;
    PaintCounter paints(shown.link);
    c.setCurrent(*shown.link);
    Settle();
    EXPECT_EQ(paints.count, 0) << c.name;
    c.setNew(*shown.link);
    EXPECT_TRUE(c.holdsNew(*shown.link)) << c.name;
    EXPECT_EQ(paints.count > 0, c.repaints) << c.name;
  }
}

TEST_F(AboutBoxTest, BackgroundColourIsPainted) {
  ShownLink shown;
  shown.link->SetColor(QColor(255, 255, 200));
  const QImage image = shown.link->grab().toImage();
  EXPECT_EQ(QColor(image.pixel(1, 1)), QColor(255, 255, 200));
}

// The stored size holds until the first painting; from then on the link is
// its caption's width plus 6 and its height plus 2, at every painting.
TEST_F(AboutBoxTest, PaintingSizesTheLinkToItsCaption) {
  QWidget host;
  auto* link = new HyperLink(&host);
  link->setGeometry(10, 10, 181, 15);
  EXPECT_EQ(link->size(), QSize(181, 15));
  host.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
  Settle();
  const QFontMetrics metrics(link->DrawingFont());
  auto expected = [&](const QString& caption) {
    return QSize(metrics.horizontalAdvance(caption) + 6, metrics.height() + 2);
  };
  EXPECT_EQ(link->size(), expected(kHomePage));
  EXPECT_EQ(link->pos(), QPoint(10, 10));

  const QString longer = kHomePage + QStringLiteral("index.html?from=about");
  link->SetCaption(longer);
  Settle();
  EXPECT_EQ(link->size(), expected(longer));
  EXPECT_GT(link->width(), expected(kHomePage).width());
  link->SetCaption(QStringLiteral("x"));
  Settle();
  EXPECT_EQ(link->size(), expected(QStringLiteral("x")));
}

// Blue at rest, red under the pointer. The press opens the address at once
// and makes the rest colour fuchsia; red stays until the pointer leaves.
TEST_F(AboutBoxTest, ColoursFollowThePointerAndTheClick) {
  ShownLink shown;
  HyperLink* link = shown.link;
  struct Step {
    const char* name;
    std::function<void()> act;
    QColor font, rest;
    int opened;
  };
  const Step steps[] = {
      {"at rest", [] {}, kBlue, kBlue, 0},
      {"pointer enters", [&] { Enter(link); }, kRed, kBlue, 0},
      {"pointer leaves", [&] { Leave(link); }, kBlue, kBlue, 0},
      {"right press", [&] { QTest::mousePress(link, Qt::RightButton, {}, QPoint(4, 4)); }, kBlue,
       kBlue, 0},
      {"right release", [&] { QTest::mouseRelease(link, Qt::RightButton, {}, QPoint(4, 4)); },
       kBlue, kBlue, 0},
      {"pointer enters again", [&] { Enter(link); }, kRed, kBlue, 0},
      {"left press", [&] { QTest::mousePress(link, Qt::LeftButton, {}, QPoint(4, 4)); }, kRed,
       kFuchsia, 1},
      {"left release elsewhere",
       [&] { QTest::mouseRelease(&shown.host, Qt::LeftButton, {}, QPoint(300, 80)); }, kRed,
       kFuchsia, 1},
      {"pointer leaves after the click", [&] { Leave(link); }, kFuchsia, kFuchsia, 1},
      {"pointer back over it", [&] { Enter(link); }, kRed, kFuchsia, 1},
      {"pointer leaves once more", [&] { Leave(link); }, kFuchsia, kFuchsia, 1},
  };
  for (const Step& step : steps) {
    step.act();
    EXPECT_EQ(link->FontColor(), step.font) << step.name;
    EXPECT_EQ(link->LinkColor(), step.rest) << step.name;
    EXPECT_EQ(shown.opened.size(), step.opened) << step.name;
    EXPECT_EQ(DrawnLinkColours(link), std::set<QRgb>{step.font.rgb()}) << step.name;
  }
  EXPECT_EQ(shown.opened, QStringList{kHomePage});
}

TEST_F(AboutBoxTest, ShowHintDecidesWhetherTheTipShows) {
  ShownLink shown;
  shown.link->setToolTip(QStringLiteral("tip"));
  for (bool show : {false, true}) {
    shown.link->SetShowHint(show);
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), shown.link->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(shown.link, &help);
    EXPECT_EQ(help.isAccepted(), show) << show;
  }
}

TEST_F(AboutBoxTest, BoxLayout) {
  AboutBox form;
  EXPECT_EQ(form.windowTitle(), QStringLiteral("关于本软件"));
  EXPECT_EQ(form.size(), QSize(364, 230));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  const Qt::WindowFlags flags = form.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(form.windowIcon().isNull());
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.font().pointSize(), 8);

  EXPECT_EQ(form.ProductName()->text(), QStringLiteral("『Brivano』 V1.0"));
  EXPECT_TRUE(form.ProductName()->font().bold());
  EXPECT_EQ(form.ProductName()->font().pointSize(), 9);
  EXPECT_EQ(form.ProductName()->palette().color(QPalette::WindowText), kBlue);

  struct Place {
    const char* name;
    QWidget* widget;
    QRect geometry;
  };
  const Place places[] = {
      {"ProgramIcon", form.ProgramIcon(), QRect(20, 8, 66, 46)},
      {"Banner", form.Banner(), QRect(20, 72, 188, 18)},
      {"BarCode", form.BarCode(), QRect(256, 72, 105, 105)},
      {"HomeLink", form.HomeLink(), QRect(16, 104, 181, 15)},
      {"ContactLink", form.ContactLink(), QRect(16, 130, 207, 15)},
  };
  for (const Place& place : places) {
    EXPECT_EQ(place.widget->mapTo(&form, QPoint(0, 0)), place.geometry.topLeft()) << place.name;
    EXPECT_EQ(place.widget->size(), place.geometry.size()) << place.name;
  }
  EXPECT_EQ(form.ProductName()->mapTo(&form, QPoint(0, 0)), QPoint(104, 16));

  // The pictures are the shipped JPEG files, at their own sizes.
  EXPECT_EQ(form.ProgramIcon()->pixmap().size(), QSize(66, 46));
  EXPECT_EQ(form.Banner()->pixmap().size(), QSize(188, 18));
  EXPECT_EQ(form.BarCode()->pixmap().size(), QSize(105, 105));

  EXPECT_EQ(form.HomeLink()->Caption(), kHomePage);
  EXPECT_EQ(form.HomeLink()->URL(), kHomePage);
  EXPECT_EQ(form.ContactLink()->URL(), QStringLiteral("mailto:support@brivano.example"));
  EXPECT_TRUE(form.ContactLink()->Caption().contains(QStringLiteral("support@brivano.example")));
  for (HyperLink* link : {form.HomeLink(), form.ContactLink()}) {
    EXPECT_EQ(link->Color(), form.palette().color(QPalette::Button));
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
  }
}

// A picture whose file is damaged leaves its place empty at its stored size;
// the other pictures still show.
TEST_F(AboutBoxTest, DamagedPictureLeavesAnEmptyFrame) {
  const AboutPictures shipped = ShippedAboutPictures();
  const std::span<const unsigned char> cut = shipped.logo.first(shipped.logo.size() / 2);
  const unsigned char garbage[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x42};
  struct Case {
    const char* name;
    AboutPictures pictures;
    QLabel* (AboutBox::*damaged)() const;
    QRect stored;
  };
  const Case cases[] = {
      {"logo cut in half",
       {cut, shipped.banner, shipped.barCode},
       &AboutBox::ProgramIcon,
       QRect(20, 8, 66, 46)},
      {"banner of garbage",
       {shipped.logo, garbage, shipped.barCode},
       &AboutBox::Banner,
       QRect(20, 72, 188, 18)},
      {"empty bar code",
       {shipped.logo, shipped.banner, {}},
       &AboutBox::BarCode,
       QRect(256, 72, 105, 105)},
  };
  for (const Case& c : cases) {
    AboutBox form({}, nullptr, c.pictures);
    QLabel* damaged = (form.*c.damaged)();
    EXPECT_TRUE(damaged->pixmap().isNull()) << c.name;
    EXPECT_EQ(damaged->geometry(), c.stored) << c.name;
    int shown = 0;
    for (QLabel* picture : {form.ProgramIcon(), form.Banner(), form.BarCode()}) {
      if (!picture->pixmap().isNull()) ++shown;
    }
    EXPECT_EQ(shown, 2) << c.name;
    form.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&form)) << c.name;
    EXPECT_FALSE(form.grab().isNull()) << c.name;
  }
}

// Shown modally twice: a link clicked during the first showing is fuchsia in
// the second. Escape closes the box, as its close button does.
TEST_F(AboutBoxTest, ClickedLinkStaysFuchsiaAcrossShowings) {
  QStringList opened;
  AboutBox form([&](const QString& url) { opened << url; });
  bool firstChecked = false;
  bool closedByEscape = false;
  QTimer::singleShot(0, &form, [&] {
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), &form);
    QTest::mousePress(form.ContactLink(), Qt::LeftButton, {}, QPoint(4, 4));
    QTest::mouseRelease(form.ContactLink(), Qt::LeftButton, {}, QPoint(4, 4));
    firstChecked = true;
    QTest::keyClick(&form, Qt::Key_Escape);
    closedByEscape = !form.isVisible();
    if (!closedByEscape) form.close();
  });
  form.exec();
  EXPECT_TRUE(firstChecked);
  EXPECT_TRUE(closedByEscape);
  EXPECT_EQ(opened, QStringList{QStringLiteral("mailto:support@brivano.example")});

  bool secondChecked = false;
  QTimer::singleShot(0, &form, [&] {
    Leave(form.ContactLink());
    Leave(form.HomeLink());
    Settle();
    EXPECT_EQ(DrawnLinkColours(form.ContactLink()), std::set<QRgb>{kFuchsia.rgb()});
    EXPECT_EQ(DrawnLinkColours(form.HomeLink()), std::set<QRgb>{kBlue.rgb()});
    secondChecked = true;
    form.close();
  });
  form.exec();
  EXPECT_TRUE(secondChecked);
  EXPECT_EQ(opened.size(), 1);
}

}  // namespace
}  // namespace brivano
