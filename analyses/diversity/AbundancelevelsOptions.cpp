#include "analyses/diversity/AbundancelevelsOptions.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "analyses/diversity/DiversityEngine.h"
#include "platform/Prompts.h"

TAbundanceLevelsOpts* AbundanceLevelsOpts = nullptr;

TAbundanceLevelsOpts::~TAbundanceLevelsOpts() {
  if (AbundanceLevelsOpts == this) AbundanceLevelsOpts = nullptr;
}

TAbundanceLevelsOpts::TAbundanceLevelsOpts(QWidget* Parent) : QDialog(Parent) {
  AbundanceLevelsOpts = this;
  setObjectName(QStringLiteral("AbundanceLevelsOpts"));
  setWindowTitle(QStringLiteral("Abundance Levels"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setAccessibleName(QStringLiteral("Levels, one per line"));
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setPlainText(QStringLiteral("10\n20"));
  layout->addWidget(Memo1, 1);
  auto* buttons = new QHBoxLayout;
  OKButton = new QPushButton(QStringLiteral("&OK"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  for (QPushButton* b : {OKButton, CancelButton}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  layout->addLayout(buttons);
  connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
  connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
  resize(220, 300);
}

std::vector<std::string> TAbundanceLevelsOpts::Lines() const {
  QString text = Memo1->toPlainText();
  if (text.isEmpty()) return {};
  if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
  std::vector<std::string> lines;
  for (const QString& line : text.split(QLatin1Char('\n'))) lines.push_back(line.toStdString());
  return lines;
}

void TAbundanceLevelsOpts::TestAbundanceLevels() {
  const int32_t line = FirstNegativeLevelLine(Lines());
  if (line > 0)
    ShowMessage(QStringLiteral("Abundance levels must be > 0 \r\nerror line: ") + QString::number(line));
}

void TAbundanceLevelsOpts::OKButtonClick() {
  TestAbundanceLevels();
  accept();
}

void TAbundanceLevelsOpts::CancelButtonClick() {
  Memo1->setPlainText(SavedText);
  QDialog::reject();
}

void TAbundanceLevelsOpts::reject() { CancelButtonClick(); }

void TAbundanceLevelsOpts::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  if (!Event->spontaneous()) SavedText = Memo1->toPlainText();
}
