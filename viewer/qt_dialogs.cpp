#include "viewer/qt_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QMessageBox>
#include <QWidget>

#include "viewer/data_dialog.h"
#include "viewer/texts.h"

namespace viewer {

namespace {

QString fromStd(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

std::optional<std::string> runFileDialog(QFileDialog::AcceptMode mode, const char* filter, const char* suffix,
                                         const char* initialName) {
  QFileDialog dialog(nullptr, QString(), QDir::currentPath() + "/", QString::fromUtf8(filter));
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QString::fromUtf8(suffix));
  dialog.selectFile(QString::fromUtf8(initialName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QFile::encodeName(dialog.selectedFiles().front()).toStdString();
}

}  // namespace

QtDialogs::QtDialogs() = default;
QtDialogs::~QtDialogs() = default;

bool QtDialogs::askYesNo(const std::string& question) {
  return QMessageBox::question(nullptr, QString::fromUtf8(text::kProgram), fromStd(question),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::optional<std::string> QtDialogs::chooseSnapshot() {
  return runFileDialog(QFileDialog::AcceptOpen, text::kSnapshotFilter, text::kSnapshotSuffix,
                       text::kSnapshotInitialName);
}

std::optional<std::string> QtDialogs::choosePicture() {
  return runFileDialog(QFileDialog::AcceptSave, text::kPictureFilter, text::kPictureSuffix, text::kPictureInitialName);
}

bool QtDialogs::editData(DataDialogValues& values, const Scene& scene) {
  DataDialog dialog(values, scene, [](const QString& message) {
    QMessageBox::warning(nullptr, QString::fromUtf8(text::kProgram), message);
  });
  if (dialog.exec() != QDialog::Accepted) return false;
  values = dialog.values();
  return true;
}

void QtDialogs::tellError(const std::string& message) {
  QMessageBox::critical(nullptr, QString::fromUtf8(text::kProgram), fromStd(message));
}

void QtDialogs::showBusy(const std::string& text) {
  mBusy = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  mBusy->setWindowTitle(fromStd(text));
  // 292 dialog units: a dialog unit is a quarter of the average character width.
  mBusy->setFixedSize(292 * QFontMetrics(mBusy->font()).averageCharWidth() / 4, 1);
  mBusy->show();
  QApplication::processEvents();
}

void QtDialogs::closeBusy() {
  mBusy.reset();
  QApplication::processEvents();
}

}  // namespace viewer
