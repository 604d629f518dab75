// The simulator's dialogs in Qt Widgets: message boxes, file dialogs, the initial-settings
// dialog, modal dialogs and the message window.
//
// A QApplication must exist for the whole life of this object. GUI thread only.
#pragma once

#include <QPointer>
#include <memory>

#include "app/dialogs.h"

class QWidget;

namespace app {

class QtDialogs final : public VekDialogs {
 public:
  // `parent` (not owned, may be null) is the window the boxes are centred on.
  explicit QtDialogs(QWidget* parent = nullptr);
  ~QtDialogs() override;

  void setParent(QWidget* parent) { mParent = parent; }

  bool askYesNo(const QString& question) override;
  void inform(const QString& message) override;
  void warn(const QString& message) override;
  void about() override;
  std::optional<QString> openFile(const FileRequest& request) override;
  std::optional<QString> saveFile(const FileRequest& request) override;
  InitialSettings chooseInitialSettings() override;
  void runModal(QDialog& dialog) override;
  void showBusy(const QString& title) override;
  void closeBusy() override;

 private:
  QPointer<QWidget> mParent;
  std::unique_ptr<QWidget> mBusy;
};

}  // namespace app
