#include "app/qt_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QMessageBox>
#include <QWidget>

#include "app/initial_settings_dialog.h"
#include "app/program_icon.h"
#include "app/texts.h"

namespace app {

namespace {

std::optional<QString> runFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const FileRequest& request) {
  QFileDialog dialog(parent, QString(), request.directory, request.filter);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setDefaultSuffix(request.defaultSuffix);
  dialog.selectFile(request.fileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front();
}

}  // namespace

QtDialogs::QtDialogs(QWidget* parent) : mParent(parent) {}
QtDialogs::~QtDialogs() = default;

bool QtDialogs::askYesNo(const QString& question) {
  return QMessageBox::question(mParent, QString::fromUtf8(text::kProgram), question,
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void QtDialogs::inform(const QString& message) {
  QMessageBox::information(mParent, QString::fromUtf8(text::kProgram), message);
}

void QtDialogs::warn(const QString& message) {
  QMessageBox::warning(mParent, QString::fromUtf8(text::kProgram), message);
}

void QtDialogs::about() {
  QMessageBox box(mParent);
  box.setWindowTitle(QString::fromUtf8(text::kProgram));
  box.setIconPixmap(programIcon().pixmap(32, 32));
  box.setText(QString::fromUtf8(text::kAbout));
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
}

std::optional<QString> QtDialogs::openFile(const FileRequest& request) {
  return runFileDialog(mParent, QFileDialog::AcceptOpen, request);
}

std::optional<QString> QtDialogs::saveFile(const FileRequest& request) {
  return runFileDialog(mParent, QFileDialog::AcceptSave, request);
}

InitialSettings QtDialogs::chooseInitialSettings() {
  InitialSettingsDialog dialog(*this, QDir::currentPath() + "/", mParent);
  dialog.exec();
  return dialog.result();
}

void QtDialogs::runModal(QDialog& dialog) { dialog.exec(); }

void QtDialogs::showBusy(const QString& title) {
  mBusy = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  mBusy->setWindowTitle(title);
  // 143 dialog units wide, a dialog unit being a quarter of the average character width; the
  // window is all caption.
  mBusy->setFixedSize(143 * QFontMetrics(mBusy->font()).averageCharWidth() / 4, 1);
  mBusy->show();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtDialogs::closeBusy() {
  mBusy.reset();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace app

