#include "viewer/data_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "viewer/texts.h"

namespace viewer {

namespace {
QString fromStd(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
}  // namespace

DataDialog::DataDialog(const DataDialogValues& values, const Scene& scene, std::function<void(const QString&)> warn,
                       QWidget* parent)
    : QDialog(parent), mValues(values), mScene(scene), mWarn(std::move(warn)) {
  setWindowTitle(QString::fromUtf8(text::kDataDialogTitle));

  auto* records = new QVBoxLayout;
  auto* kindRow = new QHBoxLayout;
  kindRow->addWidget(new QLabel(QString::fromUtf8(text::kKindLabel)));
  mKind = new QComboBox;
  mKind->setObjectName("kind");
  for (const char* name : text::kKindNames) mKind->addItem(QString::fromUtf8(name));
  mKind->setCurrentIndex(-1);
  kindRow->addWidget(mKind, 1);
  records->addLayout(kindRow);
  mLog = new QPlainTextEdit;
  mLog->setObjectName("log");
  mLog->setReadOnly(true);
  mLog->setLineWrapMode(QPlainTextEdit::NoWrap);
  records->addWidget(mLog, 1);
  auto* countRow = new QHBoxLayout;
  countRow->addWidget(new QLabel(QString::fromUtf8(text::kCountLabel)));
  mCount = new QLineEdit;
  mCount->setObjectName("count");
  mCount->setReadOnly(true);
  countRow->addWidget(mCount, 1);
  records->addLayout(countRow);

  auto* grid = new QGridLayout;
  const struct {
    const char* name;
    bool editable;
  } boxes[] = {{"min_x", false},  {"min_y", false},    {"max_x", false},    {"max_y", false},
               {"center_x", false}, {"center_y", false}, {"haba", false},     {"width", false},
               {"height", false}, {"radius", true},      {"theta", true},     {"phi", true},
               {"origin_x", true},  {"origin_y", true},   {"origin_z", true}};
  int row = 0;
  for (const auto& box : boxes) {
    grid->addWidget(new QLabel(QString::fromLatin1(box.name)), row, 0);
    grid->addWidget(addBox(box.name, box.editable), row, 1);
    ++row;
  }

  auto* columns = new QHBoxLayout;
  columns->addLayout(records, 1);
  columns->addLayout(grid);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &DataDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &DataDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addWidget(buttons);
  resize(640, 420);

  connect(mKind, &QComboBox::activated, this, [this](int kind) { showKind(kind); });
  showValues();
  showKind(-1);
}

QLineEdit* DataDialog::addBox(const char* name, bool editable) {
  auto* box = new QLineEdit;
  box->setObjectName(QString::fromLatin1(name));
  box->setReadOnly(!editable);
  return box;
}

void DataDialog::showValues() {
  const auto set = [this](const char* name, const std::string& text) {
    findChild<QLineEdit*>(QString::fromLatin1(name))->setText(fromStd(text));
  };
  set("min_x", boxText(mValues.min_x));
  set("min_y", boxText(mValues.min_y));
  set("max_x", boxText(mValues.max_x));
  set("max_y", boxText(mValues.max_y));
  set("center_x", boxText(mValues.center_x));
  set("center_y", boxText(mValues.center_y));
  set("haba", boxText(mValues.haba));
  set("width", boxText(mValues.width));
  set("height", boxText(mValues.height));
  set("radius", boxText(mValues.radius));
  set("theta", boxText(mValues.theta));
  set("phi", boxText(mValues.phi));
  set("origin_x", boxText(mValues.origin_x));
  set("origin_y", boxText(mValues.origin_y));
  set("origin_z", boxText(mValues.origin_z));
}

void DataDialog::showKind(int kind) {
  showValues();
  if (kind < 0 || kind >= kRecordKinds) {
    mLog->clear();
    mCount->setText("0");
    return;
  }
  // The log keeps the file's CR LF entries; the box wants bare line ends.
  mLog->setPlainText(fromStd(mScene.log(static_cast<RecordKind>(kind))).replace("\r\n", "\n"));
  mCount->setText(QString::number(mScene.count(static_cast<RecordKind>(kind))));
}

void DataDialog::accept() {
  DataDialogValues typed = mValues;
  const auto read = [this](const char* name, auto&& reader) {
    QLineEdit* box = findChild<QLineEdit*>(QString::fromLatin1(name));
    const std::optional<std::string> message = reader(box->text().toStdString());
    if (!message) return true;
    mWarn(fromStd(*message));
    box->setFocus();
    box->selectAll();
    return false;
  };
  const bool valid =
      read("radius", [&](const std::string& t) { return readFloatBox(t, kRadiusLow, kRadiusHigh, typed.radius); }) &&
      read("theta", [&](const std::string& t) { return readWholeBox(t, kAngleLow, kAngleHigh, typed.theta); }) &&
      read("phi", [&](const std::string& t) { return readWholeBox(t, kAngleLow, kAngleHigh, typed.phi); }) &&
      read("origin_x", [&](const std::string& t) { return readNumberBox(t, kOriginLow, kOriginHigh, typed.origin_x); }) &&
      read("origin_y", [&](const std::string& t) { return readNumberBox(t, kOriginLow, kOriginHigh, typed.origin_y); }) &&
      read("origin_z", [&](const std::string& t) { return readNumberBox(t, kOriginLow, kOriginHigh, typed.origin_z); });
  if (!valid) return;
  mValues = typed;
  QDialog::accept();
}

}  // namespace viewer
