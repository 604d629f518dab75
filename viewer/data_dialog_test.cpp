#include "viewer/data_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <sstream>
#include <vector>

namespace {

class ViewerDataDialog : public ::testing::Test {
 protected:
  ViewerDataDialog() : scene(colours) {
    std::istringstream in(
        "-40 -40 40 40 0 0 0.08\r\nS 1 2 0 1-1-1\r\nE 0 0 0 0 0 1 1-1-1\r\nE 0 0 1 1 1 2 1-1-1\r\n");
    vek::readSnapshot(in, scene);
    values = viewer::dataDialogValues(camera, scene, 300, 280);
  }

  QLineEdit* box(viewer::DataDialog& dialog, const char* name) {
    return dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
  }

  viewer::DrawnColours colours{1};
  viewer::Scene scene;
  viewer::Camera camera;
  viewer::DataDialogValues values;
  std::vector<std::string> warnings;
};

TEST_F(ViewerDataDialog, OpensOnTheValuesWithNoKindChosen) {
  viewer::DataDialog dialog(values, scene, [](const QString&) {});
  const auto* kind = dialog.findChild<QComboBox*>("kind");
  ASSERT_TRUE(kind);
  EXPECT_EQ(kind->count(), 4);
  EXPECT_EQ(kind->itemText(0), QString::fromUtf8("枝"));
  EXPECT_EQ(kind->itemText(3), QString::fromUtf8("種"));
  EXPECT_EQ(kind->currentIndex(), -1);
  EXPECT_TRUE(dialog.findChild<QPlainTextEdit*>("log")->toPlainText().isEmpty());
  EXPECT_EQ(box(dialog, "count")->text(), "0");
  EXPECT_EQ(box(dialog, "min_x")->text(), "-40");
  EXPECT_EQ(box(dialog, "haba")->text(), "0.08");
  EXPECT_EQ(box(dialog, "height")->text(), "280");
  EXPECT_EQ(box(dialog, "radius")->text(), "10");
  EXPECT_EQ(box(dialog, "origin_x")->text(), "0");
  for (const char* shown : {"min_x", "min_y", "max_x", "max_y", "center_x", "center_y", "haba", "width", "height", "count"})
    EXPECT_TRUE(box(dialog, shown)->isReadOnly()) << shown;
  for (const char* editable : {"radius", "theta", "phi", "origin_x", "origin_y", "origin_z"})
    EXPECT_FALSE(box(dialog, editable)->isReadOnly()) << editable;
}

TEST_F(ViewerDataDialog, ChoosingAKindShowsItsLogAndUndoesUnconfirmedEdits) {
  viewer::DataDialog dialog(values, scene, [](const QString&) {});
  box(dialog, "theta")->setText("123");
  auto* kind = dialog.findChild<QComboBox*>("kind");
  kind->setCurrentIndex(0);
  emit kind->activated(0);
  EXPECT_EQ(dialog.findChild<QPlainTextEdit*>("log")->toPlainText(), "0.00,0.00,0.00,0.00,0.00,1.00,1-1-1\n"
                                                                      "0.00,0.00,1.00,1.00,1.00,2.00,1-1-1\n");
  EXPECT_EQ(box(dialog, "count")->text(), "2");
  EXPECT_EQ(box(dialog, "theta")->text(), "60");
  kind->setCurrentIndex(2);
  emit kind->activated(2);
  EXPECT_TRUE(dialog.findChild<QPlainTextEdit*>("log")->toPlainText().isEmpty());
  EXPECT_EQ(box(dialog, "count")->text(), "0");
}

TEST_F(ViewerDataDialog, OkKeepsTheDialogOpenUntilEveryBoxIsInRange) {
  viewer::DataDialog dialog(values, scene, [this](const QString& m) { warnings.push_back(m.toStdString()); });
  dialog.show();
  box(dialog, "radius")->setText("100.5");
  box(dialog, "phi")->setText("12.5");
  dialog.accept();
  ASSERT_EQ(warnings, std::vector<std::string>{"0 から 100 までの数値を入力してください。"});
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(dialog.values().radius, 10.0f);

  box(dialog, "radius")->setText("25.5");
  dialog.accept();
  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_EQ(warnings[1], "整数を入力してください。");
  EXPECT_EQ(dialog.values().radius, 10.0f);  // nothing is taken before every box is valid

  box(dialog, "phi")->setText("360");
  box(dialog, "origin_y")->setText("-16");
  dialog.accept();
  EXPECT_EQ(warnings.size(), 2u);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.values().radius, 25.5f);
  EXPECT_EQ(dialog.values().phi, 360);
  EXPECT_EQ(dialog.values().theta, 60);
  EXPECT_EQ(dialog.values().origin_y, -16);
}

}  // namespace
