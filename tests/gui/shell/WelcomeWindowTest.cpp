// The welcome window's lit buttons and layout, its pictures, and the
// closing window's support text.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>
#include <fstream>
#include <utility>

#include "gui/shell/ClosingWindow.h"
#include "gui/shell/PictureButton.h"
#include "gui/shell/Pictures.h"
#include "gui/shell/SupportText.h"
#include "gui/shell/WelcomeWindow.h"
#include "gui/support/GuiTestSupport.h"

namespace fc::gui {
namespace {

class WelcomeWindowTest : public ::testing::Test {
 protected:
  WelcomeWindowTest() : welcome(home.home(), boxes) {
    test::ShowActive(&welcome);
    upper = welcome.findChild<PictureButton*>("ButPicture");
    lower = welcome.findChild<PictureButton*>("ButPicture2");
  }

  test::TestHome home;
  test::ScriptedBoxes boxes;
  WelcomeWindow welcome;
  PictureButton* upper;
  PictureButton* lower;
};

TEST_F(WelcomeWindowTest, ButtonsLightOnlyUnderThePointer) {
  EXPECT_FALSE(upper->isEnabled());
  EXPECT_FALSE(lower->isEnabled());

  test::MovePointerOver(upper);  // disabled: its zone lights it
  EXPECT_TRUE(upper->isEnabled());
  EXPECT_FALSE(lower->isEnabled());
  test::MovePointer(upper, {5, 5});  // lit, it keeps itself lit
  EXPECT_TRUE(upper->isEnabled());

  test::MovePointerOver(lower);
  EXPECT_FALSE(upper->isEnabled());
  EXPECT_TRUE(lower->isEnabled());

  test::MovePointer(&welcome, {5, 5});
  EXPECT_FALSE(upper->isEnabled());
  EXPECT_FALSE(lower->isEnabled());

  test::MovePointerOver(welcome.findChild<QWidget*>("Label1"));
  EXPECT_TRUE(upper->isEnabled());
}

TEST_F(WelcomeWindowTest, UnlitButtonsShowTheirDimmedPicture) {
  const QImage dimmed = upper->currentPicture().toImage();
  welcome.lightButton(1);
  const QImage lit = upper->currentPicture().toImage();
  EXPECT_NE(dimmed, lit);
  EXPECT_EQ(lit, BigButtonPicture(QStringLiteral("证券公司客户交易结算资金账户数据文件检查"),
                                  PictureState::Normal).toImage());
  welcome.lightButton(0);
  EXPECT_FALSE(upper->isEnabled());
}

TEST_F(WelcomeWindowTest, LayoutCentresTheBigButtonsOverTheirZones) {
  QWidget* upperZone = welcome.findChild<QWidget*>("Label1");
  QWidget* lowerZone = welcome.findChild<QWidget*>("Label2");
  QWidget* exit = welcome.findChild<QWidget*>("Command1");
  QWidget* banner = welcome.findChild<QWidget*>("Picture1");
  // The buttons fill their zones exactly.
  EXPECT_EQ(upper->geometry(), upperZone->rect());
  EXPECT_EQ(lower->geometry(), lowerZone->rect());
  // Picture plus 50 twips (3 pixels and a third) each way.
  EXPECT_EQ(upperZone->size(), QSize(345, 61));
  EXPECT_EQ(upperZone->x(), lowerZone->x());
  // The upper button sits halfway between the top and the lower button.
  EXPECT_NEAR(upperZone->y(), (lowerZone->y() - upperZone->height()) / 2.0, 1);
  // From the bottom up: banner, exit button 20 pixels above it, lower
  // button 400 twips above that; everything inside the window.
  EXPECT_EQ(exit->geometry().bottom() + 1 + 20, banner->y());
  EXPECT_NEAR(lowerZone->geometry().bottom() + 1 + 400 / 15.0, exit->y(), 1);
  EXPECT_TRUE(welcome.rect().contains(banner->geometry()));
  EXPECT_TRUE(welcome.rect().contains(exit->geometry()));
}

TEST_F(WelcomeWindowTest, ExitButtonAsksForTheClosingWindow) {
  EXPECT_FALSE(welcome.exitRequested());
  welcome.close();  // the close box ends the program without the closing window
  EXPECT_FALSE(welcome.exitRequested());
  test::ShowActive(&welcome);
  QTest::mouseClick(welcome.findChild<PictureButton*>("Command1"), Qt::LeftButton);
  EXPECT_TRUE(welcome.exitRequested());
  EXPECT_FALSE(welcome.isVisible());
}

TEST_F(WelcomeWindowTest, LitButtonsOpenTheirOwnWindowsAndAreUnlitAfterwards) {
  QString opened;
  test::MovePointerOver(upper);
  test::CloseNextModalWindow(&opened);
  QTest::mouseClick(upper, Qt::LeftButton);
  EXPECT_EQ(opened, "mainfrm1");
  EXPECT_FALSE(upper->isEnabled());
  test::MovePointerOver(lower);
  test::CloseNextModalWindow(&opened);
  QTest::mouseClick(lower, Qt::LeftButton);
  EXPECT_EQ(opened, "mainfrm2");
  EXPECT_FALSE(lower->isEnabled());
  EXPECT_FALSE(welcome.exitRequested());
}

TEST_F(WelcomeWindowTest, TabLightsThePictureButtonsInTurnAndEnterOrSpacePressesTheLitOne) {
  auto* exit = welcome.findChild<PictureButton*>("Command1");
  auto tab = [&](Qt::Key key = Qt::Key_Tab) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : static_cast<QWidget*>(&welcome), key);
  };
  tab();
  EXPECT_TRUE(upper->isEnabled() && upper->hasFocus());
  EXPECT_FALSE(lower->isEnabled());
  tab();
  EXPECT_TRUE(lower->isEnabled() && lower->hasFocus());
  EXPECT_FALSE(upper->isEnabled());
  tab();
  EXPECT_TRUE(exit->hasFocus());
  EXPECT_FALSE(upper->isEnabled() || lower->isEnabled());
  tab(Qt::Key_Backtab);
  EXPECT_TRUE(lower->isEnabled() && lower->hasFocus());

  QString opened;
  test::CloseNextModalWindow(&opened);
  tab(Qt::Key_Space);
  EXPECT_EQ(opened, "mainfrm2");
  EXPECT_FALSE(lower->isEnabled() || upper->isEnabled());
  tab();
  test::CloseNextModalWindow(&opened);
  tab(Qt::Key_Return);
  EXPECT_EQ(opened, "mainfrm1");
  // The pointer still lights what it is over.
  test::MovePointerOver(lower);
  EXPECT_TRUE(lower->isEnabled());
  test::MovePointer(&welcome, {5, 5});
  EXPECT_FALSE(lower->isEnabled());
  exit->setFocus(Qt::TabFocusReason);
  tab(Qt::Key_Return);
  EXPECT_TRUE(welcome.exitRequested());
}

// Checked in a copy of this test program on a screen of device pixel ratio 2.
TEST(PicturesTest, AreDrawnAtTheScreensDevicePixelRatio) {
  if (qApp->devicePixelRatio() == 1) {
    QProcess dense;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    dense.setProcessEnvironment(env);
    dense.setProcessChannelMode(QProcess::MergedChannels);
    dense.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=PicturesTest.AreDrawnAtTheScreensDevicePixelRatio")});
    ASSERT_TRUE(dense.waitForFinished(120000));
    EXPECT_EQ(dense.exitCode(), 0) << dense.readAll().toStdString();
    return;
  }
  ASSERT_EQ(qApp->devicePixelRatio(), 2);
  test::TestHome home;
  test::ScriptedBoxes boxes;
  WelcomeWindow welcome(home.home(), boxes);
  test::ShowActive(&welcome);
  for (const char* name : {"ButPicture", "ButPicture2", "Command1"}) {
    const QPixmap& picture = welcome.findChild<PictureButton*>(name)->currentPicture();
    EXPECT_EQ(picture.devicePixelRatio(), 2) << name;
    EXPECT_EQ(picture.size(), 2 * picture.deviceIndependentSize().toSize()) << name;
  }
  EXPECT_EQ(welcome.findChild<QLabel*>("Picture1")->pixmap().devicePixelRatio(), 2);
  // The picture keeps its size in the window's pixels, centred in its button.
  auto* upper = welcome.findChild<PictureButton*>("ButPicture");
  EXPECT_EQ(upper->currentPicture().deviceIndependentSize().toSize(), kBigButtonSize);
  EXPECT_EQ(upper->sizeHint(), kBigButtonSize);
  test::TempDir data;
  ClosingWindow end(data.path());
  EXPECT_EQ(end.findChild<PictureButton*>("Picture1")->currentPicture().devicePixelRatio(), 2);
}

TEST(PicturesTest, HaveTheirDesignedSizesAndVariants) {
  const QString caption = QStringLiteral("证券公司投资者身份信息复查数据检查");
  EXPECT_EQ(BackgroundPicture().size(), QSize(659, 404));
  EXPECT_EQ(BigButtonPicture(caption, PictureState::Normal).size(), QSize(342, 58));
  EXPECT_EQ(ExitButtonPicture(PictureState::Pressed).size(), QSize(99, 30));
  EXPECT_EQ(BannerPicture().size(), QSize(245, 20));
  EXPECT_EQ(CloseImage().size(), QSize(25, 25));
  // A big button looks the same pressed; the exit button gets darker.
  EXPECT_EQ(BigButtonPicture(caption, PictureState::Pressed).toImage(),
            BigButtonPicture(caption, PictureState::Normal).toImage());
  EXPECT_NE(BigButtonPicture(caption, PictureState::Dimmed).toImage(),
            BigButtonPicture(caption, PictureState::Normal).toImage());
  const QColor normal = ExitButtonPicture(PictureState::Normal).toImage().pixelColor(49, 22);
  const QColor pressed = ExitButtonPicture(PictureState::Pressed).toImage().pixelColor(49, 22);
  EXPECT_LT(pressed.lightness(), normal.lightness());
}

TEST(SupportTextTest, FramesTheContactLinesOfTheDataFileAndLeavesOutSentencesWithoutContacts) {
  const QString software = QStringLiteral("如在软件使用过程中遇到任何问题请咨询：");
  const QString rules = QStringLiteral("如对逻辑校验规则有任何疑问请咨询：");
  const QString notice1 = QStringLiteral("为能够保持及时顺畅的沟通,当联系人有变动时请及时通知我方更新联系方式");
  const QString notice2 = QStringLiteral("（包括联系人、电话及电子邮件）联系方式如下：");
  const std::pair<const char*, QStringList> cases[] = {
      {"# comment\n\n电话:1 E-mail:a@x\n电话:2 E-mail:b@x\n",
       {software, "", "电话:1 E-mail:a@x", "", rules, "", "电话:2 E-mail:b@x"}},
      {"# only comments: nothing filled in yet\n", {""}},
      {"a\nb\nc\nd\n", {software, "", "a", "", rules, "", "b", "", notice1, notice2, "", "c", "", "d"}},
  };
  for (const auto& [file, expected] : cases) {
    test::TempDir data;
    std::ofstream(data / "support.txt") << file;
    EXPECT_EQ(SupportText(data.path()).split('\n'), expected) << file;
  }
}

TEST(ClosingWindowTest, CloseImageClosesTheWindow) {
  test::TempDir data;
  ClosingWindow end(data.path());
  end.show();
  EXPECT_EQ(end.supportText(), QString());  // no support.txt: no contact to show
  end.findChild<PictureButton*>("Picture1")->click();
  EXPECT_FALSE(end.isVisible());
  EXPECT_EQ(end.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace fc::gui
