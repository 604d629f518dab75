// The initial-settings dialog: its three buttons, its browse buttons and the keys it swallows.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "app/app_test_support.h"
#include "app/initial_settings_dialog.h"

namespace app::test {
namespace {

TEST(InitialSettingsDialog, OkDefaultAndExitGiveTheirResults) {
  ScriptedDialogs dialogs;
  {
    InitialSettingsDialog dialog(dialogs, "/work/");
    dialog.geneBox()->setText("a.gini");
    dialog.parameterBox()->setText("b.pini");
    dialog.okButton()->click();
    EXPECT_EQ(dialog.QDialog::result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.result().exit);
    EXPECT_EQ(dialog.result().geneFile, "a.gini");
    EXPECT_EQ(dialog.result().parameterFile, "b.pini");
  }
  {
    InitialSettingsDialog dialog(dialogs, "/work/");
    dialog.geneBox()->setText("a.gini");
    dialog.defaultButton()->click();
    EXPECT_FALSE(dialog.result().exit);
    EXPECT_TRUE(dialog.result().geneFile.isEmpty());
    EXPECT_TRUE(dialog.result().parameterFile.isEmpty());
  }
  {
    InitialSettingsDialog dialog(dialogs, "/work/");
    dialog.exitButton()->click();
    EXPECT_TRUE(dialog.result().exit);
  }
}

TEST(InitialSettingsDialog, BrowseButtonsFillTheirBoxes) {
  ScriptedDialogs dialogs;
  InitialSettingsDialog dialog(dialogs, "/work/");
  dialogs.files = {"/data/first.gini", QString(), "/data/p.pini"};
  dialog.browseGeneButton()->click();
  dialog.browseGeneButton()->click();  // cancelled: the box keeps its path
  dialog.browseParameterButton()->click();
  EXPECT_EQ(dialog.geneBox()->text(), "/data/first.gini");
  EXPECT_EQ(dialog.parameterBox()->text(), "/data/p.pini");
  ASSERT_EQ(dialogs.fileRequests.size(), 3u);
  EXPECT_EQ(dialogs.fileRequests[0].filter, "Gene Initial Files (*.gini)");
  EXPECT_EQ(dialogs.fileRequests[0].fileName, "*.gini");
  EXPECT_EQ(dialogs.fileRequests[0].defaultSuffix, "gini");
  EXPECT_EQ(dialogs.fileRequests[0].directory, "/work/");
  EXPECT_EQ(dialogs.fileRequests[2].filter, "Parameter Initial Files (*.pini)");
  EXPECT_EQ(dialogs.fileRequests[2].defaultSuffix, "pini");
}

TEST(InitialSettingsDialog, EnterEscapeAndTheFrameNeitherConfirmNorClose) {
  ScriptedDialogs dialogs;
  InitialSettingsDialog dialog(dialogs, "/work/");
  dialog.show();
  for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(dialog.geneBox(), &press);
    EXPECT_TRUE(dialog.isVisible()) << key;
  }
  dialog.close();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(dialog.result().exit);
}

}  // namespace
}  // namespace app::test
