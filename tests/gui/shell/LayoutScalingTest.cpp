// Proportional re-layout: remembered rectangles in the controls' tags,
// scaling from them, and the shared reference size.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVariant>

#include "gui/shell/LayoutScaling.h"
#include "gui/support/GuiTestSupport.h"
#include "gui/windows/AccountCheckWindow.h"

namespace fc::gui {
namespace {

QWidget* Named(QWidget* parent, QWidget* widget, const char* name, QRect geometry) {
  widget->setParent(parent);
  widget->setObjectName(QLatin1String(name));
  widget->setGeometry(geometry);
  return widget;
}

class LayoutScalingTest : public ::testing::Test {
 protected:
  LayoutScalingTest() {
    window.resize(400, 300);
    frame = static_cast<QGroupBox*>(Named(&window, new QGroupBox, "Frame1", {20, 40, 200, 100}));
    inner = Named(frame, new QLineEdit, "Inner", {10, 20, 80, 24});
    button = Named(&window, new QPushButton, "Button", {240, 40, 100, 30});
    spin = new QSpinBox(&window);  // Qt's own line edit inside is no control
    spin->setObjectName("Spin");
    spin->setGeometry(20, 200, 60, 24);
  }

  QWidget window;
  QGroupBox* frame;
  QWidget* inner;
  QWidget* button;
  QSpinBox* spin;
};

TEST_F(LayoutScalingTest, TagHoldsTheRectangleInTwips) {
  RememberLayout(&window);
  EXPECT_EQ(button->property(kTagProperty).toString(), "3600   600   1500   450   ");
  EXPECT_EQ(inner->property(kTagProperty).toString(), "150   300   1200   360   ");
  EXPECT_EQ(ReferenceSize(), QSizeF(6000, 4500));
}

TEST_F(LayoutScalingTest, DoubleSizeAndBackRestoresEveryControl) {
  const QRect spinEdit = spin->findChild<QLineEdit*>()->geometry();
  RememberLayout(&window);
  window.resize(800, 600);
  ScaleLayout(&window);
  EXPECT_EQ(frame->geometry(), QRect(40, 80, 400, 200));
  EXPECT_EQ(inner->geometry(), QRect(20, 40, 160, 48));  // inside its frame too
  EXPECT_EQ(button->geometry(), QRect(480, 80, 200, 60));
  window.resize(133, 77);
  ScaleLayout(&window);
  window.resize(400, 300);
  ScaleLayout(&window);
  EXPECT_EQ(frame->geometry(), QRect(20, 40, 200, 100));
  EXPECT_EQ(inner->geometry(), QRect(10, 20, 80, 24));
  EXPECT_EQ(button->geometry(), QRect(240, 40, 100, 30));
  EXPECT_EQ(spin->geometry(), QRect(20, 200, 60, 24));
  EXPECT_EQ(spin->findChild<QLineEdit*>()->geometry(), spinEdit);
}

TEST_F(LayoutScalingTest, MinimisedReferenceSkipsScaling) {
  window.resize(0, 0);
  RememberLayout(&window);
  window.resize(400, 300);
  ScaleLayout(&window);
  EXPECT_EQ(button->geometry(), QRect(240, 40, 100, 30));
}

TEST_F(LayoutScalingTest, BadOrShortTagsAreHandledPerControl) {
  RememberLayout(&window);
  button->setProperty(kTagProperty, "oops   1   2   3   ");
  inner->setProperty(kTagProperty, " 300   600 ");  // width and height missing: 0
  window.resize(800, 600);
  ScaleLayout(&window);
  EXPECT_EQ(button->geometry(), QRect(240, 40, 100, 30));
  EXPECT_EQ(inner->geometry(), QRect(40, 80, 0, 0));
  EXPECT_EQ(frame->geometry(), QRect(40, 80, 400, 200));
}

TEST(CheckWindowScalingTest, WindowScalesFromItsOwnLayoutAfterActivation) {
  test::TestHome home;
  test::ScriptedBoxes boxes;
  AccountCheckWindow window(home.home(), boxes);
  test::ShowActive(&window);
  QWidget* check = window.findChild<QWidget*>("ChkCmd");
  const QRect before = check->geometry();
  const QSize size = window.size();
  // Another window registers its layout in between (as the results window does).
  QWidget other;
  other.resize(100, 100);
  RememberLayout(&other);
  window.activated();
  window.resize(size * 2);
  test::ProcessEvents();
  EXPECT_EQ(check->geometry(), QRect(before.topLeft() * 2, before.size() * 2));
  window.resize(size);
  test::ProcessEvents();
  EXPECT_EQ(check->geometry(), before);
}

}  // namespace
}  // namespace fc::gui
