#include "analyses/common/AnalysisOptions.h"

#include <algorithm>
#include <vector>

#include <QAbstractButton>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeySequence>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcutEvent>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/PelmorText.h"
#include "shell/PelmorMain.h"

namespace {
QPushButton* Button(QWidget* Parent, const QString& Caption, const QString& Name) {
  auto* b = new QPushButton(Caption, Parent);
  b->setObjectName(Name);
  b->setAutoDefault(false);
  return b;
}
}  // namespace

void EqualButtonWidths(std::initializer_list<QPushButton*> Buttons) {
  int width = 0;
  for (QPushButton* b : Buttons)
    width = std::max(width, b->fontMetrics().horizontalAdvance(QString(b->text()).remove(QLatin1Char('&'))));
  for (QPushButton* b : Buttons) {
    const int room = 2 * b->fontMetrics().averageCharWidth() + 16;
    b->setMinimumWidth(std::max(b->sizeHint().width(), width + room));
  }
}

TAnalysisOpts::TAnalysisOpts(const QString& AnalysisName, const QString& DesignIterations, QWidget* Parent)
    : QDialog(Parent), DefaultIterations(DesignIterations) {
  setWindowTitle(QStringLiteral("Pelmor -- ") + AnalysisName + QStringLiteral(" Options"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);

  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("ButtonPanel"));
  auto* buttons = new QHBoxLayout(panel);
  buttons->setContentsMargins(0, 0, 0, 0);
  HelpButton = Button(panel, QStringLiteral("&Help"), QStringLiteral("HelpButton"));
  RunButton = Button(panel, QStringLiteral("&Run"), QStringLiteral("RunButton"));
  CancelButton = Button(panel, QStringLiteral("&Cancel"), QStringLiteral("CancelButton"));
  DefaultsButton = Button(panel, QStringLiteral("reset &Defaults"), QStringLiteral("DefaultsButton"));
  for (QPushButton* b : {HelpButton, RunButton, CancelButton, DefaultsButton}) buttons->addWidget(b);
  EqualButtonWidths({HelpButton, RunButton, CancelButton, DefaultsButton});
  buttons->addStretch();
  layout->addWidget(panel);

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  layout->addWidget(PageControl1, 1);

  GeneralSheet = new QWidget(PageControl1);
  GeneralSheet->setObjectName(QStringLiteral("GeneralSheet"));
  GeneralLayout = new QGridLayout(GeneralSheet);
  PageControl1->addTab(GeneralSheet, QStringLiteral("General"));

  IterationsLabel = new QLabel(QStringLiteral("Number of iterations:"), GeneralSheet);
  IterationsEdit = new QLineEdit(GeneralSheet);
  IterationsEdit->setObjectName(QStringLiteral("IterationsEdit"));
  // Up to five digits, unfilled places shown as blanks.
  IterationsEdit->setInputMask(QStringLiteral("00000; "));
  IterationsEdit->setMaxLength(5);
  IterationsEdit->setText(DesignIterations);
  IterationsEdit->setToolTip(QStringLiteral("Iterations must be >0 and < 30,000"));
  IterationsLabel->setBuddy(IterationsEdit);

  RandomSeedLabel = new QLabel(QStringLiteral("Random number seed:"), GeneralSheet);
  RandomSeedEdit = new QLineEdit(QStringLiteral("0"), GeneralSheet);
  RandomSeedEdit->setObjectName(QStringLiteral("RandomSeedEdit"));
  RandomSeedEdit->setToolTip(
      QStringLiteral("0 = system clock. Enter a positive integer to set a random seed. "));
  RandomSeedLabel->setBuddy(RandomSeedEdit);

  SaveMatrixCheckBox = new QCheckBox(QStringLiteral("&Save simulated matrices"), GeneralSheet);
  SaveMatrixCheckBox->setObjectName(QStringLiteral("SaveMatrixCheckBox"));

  FileLabel = new QLabel(QStringLiteral("Data file:"), GeneralSheet);
  FileEdit = new QLineEdit(GeneralSheet);
  FileEdit->setObjectName(QStringLiteral("FileEdit"));
  FileEdit->setReadOnly(true);
  FileLabel->setBuddy(FileEdit);

  // The number boxes as wide as their numbers (a seed has up to eleven characters),
  // the file name box as wide as the page.
  const int digit = IterationsEdit->fontMetrics().horizontalAdvance(QLatin1Char('0'));
  IterationsEdit->setFixedWidth(digit * 8 + 16);
  RandomSeedEdit->setFixedWidth(digit * 14 + 16);
  GeneralLayout->addWidget(IterationsLabel, 0, 0);
  GeneralLayout->addWidget(IterationsEdit, 0, 1, Qt::AlignLeft);
  GeneralLayout->addWidget(RandomSeedLabel, 1, 0);
  GeneralLayout->addWidget(RandomSeedEdit, 1, 1, Qt::AlignLeft);
  GeneralLayout->addWidget(SaveMatrixCheckBox, 2, 0, 1, 2);
  GeneralLayout->addWidget(FileLabel, 3, 0);
  GeneralLayout->addWidget(FileEdit, 3, 1);
  GeneralLayout->setRowStretch(10, 1);
  GeneralLayout->setColumnStretch(1, 1);

  connect(RunButton, &QPushButton::clicked, this, [this] { RunButtonClick(); });
  connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
  connect(HelpButton, &QPushButton::clicked, this, [this] { HelpButtonClick(); });
  connect(DefaultsButton, &QPushButton::clicked, this, [this] { ResetDefaults(); });
  resize(480, 360);
}

QWidget* TAnalysisOpts::AddSheet(const QString& Caption) {
  auto* sheet = new QWidget(PageControl1);
  PageControl1->addTab(sheet, Caption);
  return sheet;
}

int32_t TAnalysisOpts::IterationsValue() const { return IntTextRule(IterationsEdit->text().toStdString()); }
int32_t TAnalysisOpts::SeedValue() const { return IntTextRule(RandomSeedEdit->text().toStdString()); }
bool TAnalysisOpts::SaveMatricesChecked() const { return SaveMatrixCheckBox->isChecked(); }

void TAnalysisOpts::RunButtonClick() {
  if (Pelmor) Pelmor->OptionsAccepted = true;
  accept();
}

void TAnalysisOpts::CancelButtonClick() {
  if (Pelmor) Pelmor->OptionsAccepted = false;
  QDialog::reject();
}

void TAnalysisOpts::reject() { CancelButtonClick(); }

void TAnalysisOpts::HelpButtonClick() {
  if (Pelmor) Pelmor->RunHelp();
}

void TAnalysisOpts::ResetDefaults() {
  RandomSeedEdit->setText(QStringLiteral("0"));
  IterationsEdit->setText(DefaultIterations);
  SaveMatrixCheckBox->setChecked(false);
}

void TAnalysisOpts::KeepButtonAccelerators() {
  // A group or label caption may mark the letter of a button above the tabs ("&Resource
  // States" beside "&Run"). The toolkit takes such a key as ambiguous and only moves the
  // focus between the two; the dialog watches both and lets the button have its key, and
  // every caption keeps its own text.
  std::vector<QKeySequence> keys;
  for (QPushButton* b : {HelpButton, RunButton, CancelButton, DefaultsButton}) {
    keys.push_back(QKeySequence::mnemonic(b->text()));
    b->installEventFilter(this);
  }
  auto clashes = [&keys](const QString& Caption) {
    const QKeySequence key = QKeySequence::mnemonic(Caption);
    return !key.isEmpty() && std::find(keys.begin(), keys.end(), key) != keys.end();
  };
  for (QGroupBox* g : findChildren<QGroupBox*>())
    if (clashes(g->title())) g->installEventFilter(this);
  for (QLabel* l : findChildren<QLabel*>())
    if (l->buddy() && clashes(l->text())) l->installEventFilter(this);
  for (QAbstractButton* b : findChildren<QAbstractButton*>())
    if (clashes(b->text())) b->installEventFilter(this);
}

bool TAnalysisOpts::eventFilter(QObject* Watched, QEvent* Event) {
  if (Event->type() == QEvent::Shortcut) {
    const auto* shortcut = static_cast<QShortcutEvent*>(Event);
    if (shortcut->isAmbiguous())
      for (QPushButton* b : {HelpButton, RunButton, CancelButton, DefaultsButton})
        if (b->isVisible() && b->isEnabled() && QKeySequence::mnemonic(b->text()) == shortcut->key()) {
          b->setFocus(Qt::ShortcutFocusReason);
          b->click();
          return true;
        }
  }
  return QDialog::eventFilter(Watched, Event);
}

void TAnalysisOpts::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  KeepButtonAccelerators();
  if (Pelmor) FileEdit->setText(Pelmor->FileName);
  if (QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
}
