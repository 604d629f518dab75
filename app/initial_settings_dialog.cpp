#include "app/initial_settings_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/texts.h"

namespace app {

namespace {

QPushButton* plainButton(const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  // No button is the default: Enter must not press one.
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

}  // namespace

InitialSettingsDialog::InitialSettingsDialog(VekDialogs& dialogs, const QString& currentFolder, QWidget* parent)
    : QDialog(parent), mDialogs(dialogs), mCurrentFolder(currentFolder) {
  setWindowTitle(QString::fromUtf8(text::kInitialSettingsTitle));

  auto* explanation = new QLabel(QString::fromUtf8(text::kInitialSettingsExplanation), this);
  explanation->setWordWrap(true);

  mGeneBox = new QLineEdit(this);
  mParameterBox = new QLineEdit(this);
  mGeneBox->setMinimumWidth(360);
  mBrowseGene = plainButton(QString::fromUtf8(text::kBrowse), this);
  mBrowseParameter = plainButton(QString::fromUtf8(text::kBrowse), this);

  auto* boxes = new QGridLayout;
  boxes->addWidget(new QLabel(QString::fromUtf8(text::kInitialGeneLabel), this), 0, 0);
  boxes->addWidget(mGeneBox, 0, 1);
  boxes->addWidget(mBrowseGene, 0, 2);
  boxes->addWidget(new QLabel(QString::fromUtf8(text::kInitialParameterLabel), this), 1, 0);
  boxes->addWidget(mParameterBox, 1, 1);
  boxes->addWidget(mBrowseParameter, 1, 2);

  mOk = plainButton(QStringLiteral("OK"), this);
  mDefault = plainButton(QStringLiteral("Default"), this);
  mExit = plainButton(QStringLiteral("Exit"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(mOk);
  buttons->addWidget(mDefault);
  buttons->addWidget(mExit);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(explanation);
  layout->addLayout(boxes);
  layout->addLayout(buttons);

  connect(mBrowseGene, &QPushButton::clicked, this, [this] {
    browse(mGeneBox, text::kGeneInitialFilter, text::kGeneInitialSuffix, text::kGeneInitialName);
  });
  connect(mBrowseParameter, &QPushButton::clicked, this, [this] {
    browse(mParameterBox, text::kParameterInitialFilter, text::kParameterInitialSuffix, text::kParameterInitialName);
  });
  connect(mOk, &QPushButton::clicked, this, [this] {
    mResult = {false, mGeneBox->text(), mParameterBox->text()};
    accept();
  });
  connect(mDefault, &QPushButton::clicked, this, [this] {
    mResult = {};
    accept();
  });
  connect(mExit, &QPushButton::clicked, this, [this] {
    mResult = {};
    mResult.exit = true;
    accept();
  });
}

void InitialSettingsDialog::browse(QLineEdit* box, const char* filter, const char* suffix, const char* pattern) {
  const std::optional<QString> path = mDialogs.openFile(
      {mCurrentFolder, QString::fromUtf8(pattern), QString::fromUtf8(suffix), QString::fromUtf8(filter)});
  if (path) box->setText(*path);
}

void InitialSettingsDialog::reject() {}

void InitialSettingsDialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      event->accept();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

}  // namespace app
